#include <elf.h>
#include <fcntl.h>
#include <langinfo.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <clocale>
#include <csignal>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "atomic_save.h"
#include "command_line.h"
#include "driver.h"
#include "fd_stream.h"
#include "hostseams.h"
#include "illustration.h"
#include "module_loader.h"
#include "output.h"
#include "quoting.h"

extern "C" ElfW(Ehdr) const __ehdr_start;  // NOLINT(bugprone-reserved-identifier)

namespace illhost {
namespace {

std::string MachineName(unsigned machine, unsigned char elfClass, bool bits) {
  static std::pair<unsigned, char const*> const kMachines[] = {
      {EM_X86_64, "x86-64"}, {EM_AARCH64, "AArch64"},    {EM_386, "i386"},    {EM_ARM, "ARM"},
      {EM_RISCV, "RISC-V"},  {EM_PPC64, "PowerPC64"},    {EM_PPC, "PowerPC"}, {EM_S390, "S/390"},
      {EM_MIPS, "MIPS"},     {EM_LOONGARCH, "LoongArch"}};
  std::string name = "machine " + std::to_string(machine);
  for (auto const& [number, word] : kMachines)
    if (number == machine) name = word;
  return bits ? name + (elfClass == ELFCLASS32 ? " (32-bit)" : " (64-bit)") : name;
}

// Read before the loader opens it: a FIFO would block the loader, and it reports a module built
// for another machine only as not found.
std::string ModuleProblem(std::string const& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return {};  // the loader says what is missing
  if (!S_ISREG(st.st_mode)) return "not a regular file";
  Fd const file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  std::array<unsigned char, EI_NIDENT + 4> h{};
  if (file.get() < 0 || read(file.get(), h.data(), h.size()) != static_cast<ssize_t>(h.size()) ||
      std::memcmp(h.data(), ELFMAG, SELFMAG) != 0)
    return {};
  // e_machine follows e_ident and e_type in either word size, in the file's byte order.
  bool const big = h[EI_DATA] == ELFDATA2MSB;
  unsigned const machine = big ? h[18] << 8 | h[19] : h[19] << 8 | h[18];
  unsigned char const own = __ehdr_start.e_ident[EI_CLASS];
  if (machine == __ehdr_start.e_machine && h[EI_CLASS] == own) return {};
  bool const bits = h[EI_CLASS] != own;
  return "built for " + MachineName(machine, h[EI_CLASS], bits) + "; this is " +
         MachineName(__ehdr_start.e_machine, own, bits);
}

// The exit status is that of the first failure.
class Runner {
 public:
  Runner(Options const& options, std::ostream& out) : o_(options), out_(out) {}

  int RunAll() {
    if (o_.savePath) {
      try {
        CheckSaveTarget(*o_.savePath, o_.modulePath);
      } catch (SaveError const& e) {
        Fail(kUsageOrOutput, e.what());
        return status_;
      }
    }
    bool const several = o_.files.size() > 1;
    if (o_.files.empty()) {
      RunOne(InputText::Sample, "", false, true);
    } else {
      for (auto const& file : o_.files) {
        bool const last = &file == &o_.files.back();
        if (!RunOne([&] { return InputText::Load(file); }, file, several, last)) break;
      }
    }
    // Files that all fail print nothing, as one bad file does.
    if (several && o_.json && shown_ > 0) out_ << "\n}\n";
    return status_;
  }

 private:
  void Fail(int status, std::string const& message) {
    ReportError(message);
    if (status_ == kDone) status_ = status;
  }

  template <class LoadInput>
  bool RunOne(LoadInput const& load, std::string const& file, bool several, bool last) {
    std::optional<InputText> input;
    std::unique_ptr<Illustration> illustration;
    try {
      input = load();
      illustration = ReadIllustration(*input);
    } catch (ReadError const& e) {
      Fail(kBadInput, e.what());
      return true;
    }
    for (auto const& warning : illustration->warnings) ReportWarning(warning);
    std::string const name = input->Name();
    if (!o_.savePath) input.reset();  // only --save reads the text again
    if (!LoadModule()) return false;

    DriveOutcome outcome = DriveTracks(*illustration, o_.explainTrack);
    if (o_.explainTrack && !outcome.explained) {
      Fail(kUsageOrOutput, name + ": no track has the id " + QuoteInput(*o_.explainTrack));
      return true;
    }
    // The file is saved before anything is printed, so that a slow or closed reader of the
    // output cannot hold the save back.
    if (o_.savePath) Save(*input, *illustration, outcome);
    Show(*illustration, outcome, file, several);
    if (last) {
      LeaveToExit(std::move(illustration));
      LeaveToExit(std::move(outcome));
    }
    return true;
  }

  // What the last file built is left for the process's exit to free at once: freeing the
  // objects of a million tracks one by one takes about a second, and nothing reads them again.
  template <class T>
  static void LeaveToExit(T&& value) {
    static auto* const left = new std::vector<std::shared_ptr<void>>;
    left->push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(value)));
  }

  bool LoadModule() {
    if (initializer_) return true;
    if (std::string const problem = ModuleProblem(o_.modulePath); !problem.empty()) {
      Fail(kModuleUnusable, "cannot load module " + EscapeControls(o_.modulePath) + ": " + problem);
      return false;
    }
    try {
      initializer_ = hostloader::PluginModule(o_.modulePath).CreateAnimationInitializer();
      return true;
    } catch (hostloader::LoadError const& e) {
      Fail(kModuleUnusable, EscapeControls(e.what()));
      return false;
    }
  }

  void Show(Illustration const& ill, DriveOutcome const& outcome, std::string const& file,
            bool several) {
    std::size_t const indent = several && o_.json ? 2 : 0;
    if (several) {
      std::string heading;
      if (o_.json) {
        heading = shown_ > 0 ? ",\n  " : "{\n  ";
        AppendJsonFileName(heading, file);
        heading += ": ";
      } else {
        heading = (shown_ > 0 ? "\n" : "") + EscapeControls(file) + ":\n";
      }
      out_.write(heading.data(), static_cast<std::streamsize>(heading.size()));
    }
    ++shown_;
    if (o_.explainTrack) {
      std::size_t const index = *outcome.explained;
      Explanation const e{
          outcome.results[index].id, outcome.steps,
          ExplainNameType(ill.tracks[index], outcome.results[index], outcome.steps)};
      if (o_.json)
        PrintExplanationJson(out_, e, indent);
      else
        PrintExplanation(out_, e);
    } else if (o_.json) {
      PrintTracksJson(out_, outcome.results, indent);
    } else {
      PrintTable(out_, outcome.results, o_.wide);
    }
    if (o_.json && !several) out_ << '\n';
  }

  void Save(InputText const& input, Illustration const& ill, DriveOutcome const& outcome) {
    try {
      SaveAtomically(*o_.savePath, [&](std::ostream& file) {
        WriteStoredIllustration(input, ill, outcome.results, file);
      });
    } catch (SaveError const& e) {
      Fail(kUsageOrOutput, e.what());
    }
  }

  Options const& o_;
  std::ostream& out_;
  int status_ = kDone;
  int shown_ = 0;
  du::SmartPtr<du::RefCounted> initializer_;
};

// A closed standard descriptor would be taken by the next file opened (the save's temporary
// file could receive the table); /dev/null, open the other way, holds it and still fails.
void HoldClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    int const held = open("/dev/null", fd == STDIN_FILENO    ? O_WRONLY
                                       : fd == STDOUT_FILENO ? O_RDONLY
                                                             : O_RDWR);
    if (held >= 0 && held != fd) {
      dup2(held, fd);
      close(held);
    }
  }
}

void ReportOutOfMemory() {
  constexpr char kLine[] = "illhost: out of memory\n";
  WriteFully(STDERR_FILENO, {kLine, sizeof kLine - 1});
}

// Unwinding a std::bad_alloc is not safe here: some destructors allocate (a parsed document's
// do), and a second failure inside them would end the process with a core.
[[noreturn]] void ExitOutOfMemory() {
  RemovePendingTemporaryFile();
  ReportOutOfMemory();
  _exit(kUsageOrOutput);
}

// Installed before any library's initialisation runs, which may allocate already.
void HandleOutOfMemory() { std::set_new_handler(ExitOutOfMemory); }
[[gnu::section(".preinit_array"), gnu::used]] void (*const kEarly)() = HandleOutOfMemory;

int RunMain(int argc, char** argv, FdStreamBuf& stdoutBuffer) {
  std::ostream out(&stdoutBuffer);
  CommandLine const line = ParseCommandLine(argc, argv, out);
  if (!line.error.empty()) ReportError(line.error);
  int status = line.exitStatus;
  if (line.options) {
    if (!line.options->trace) hostseams::TraceCapture::Start();
    status = Runner(*line.options, out).RunAll();
  }
  if (!stdoutBuffer.Flush()) {
    ReportError(std::string("cannot write standard output: ") +
                std::strerror(stdoutBuffer.Error()));
    if (status == kDone) status = kUsageOrOutput;
  }
  return status;
}

}  // namespace
}  // namespace illhost

int main(int argc, char** argv) {
  illhost::HoldClosedStandardDescriptors();
  // Terminal text keeps to ASCII where the locale's character set is not UTF-8.
  std::setlocale(LC_CTYPE, "");
  illhost::SetTerminalUtf8(std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0);
  // A closed pipe or a file-size limit is a write error to report, not a signal that kills.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  try {
    illhost::FdStreamBuf stdoutBuffer(STDOUT_FILENO);
    return illhost::RunMain(argc, argv, stdoutBuffer);
  } catch (std::bad_alloc const&) {
    illhost::ReportOutOfMemory();
    return illhost::kUsageOrOutput;
  }
}
