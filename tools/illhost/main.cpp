// illhost: loads the module as the host does, builds an illustration from each file (or the
// built-in sample) and shows what the module makes of each of its tracks.
#include <fcntl.h>
#include <unistd.h>

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

namespace illhost {
namespace {

// One run over the FILEs: each is read, then (once) the module is loaded, then its tracks are
// driven, shown and, with --save, written back. Each failure is one line on standard error;
// the exit status is that of the first.
class Runner {
 public:
  Runner(Options const& options, std::ostream& out) : o_(options), out_(out) {}

  int RunAll() {
    if (o_.savePath) {
      try {
        CheckSaveTarget(*o_.savePath);
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

  // False when nothing further can run (the module cannot be loaded).
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
    try {
      if (!initializer_)
        initializer_ = hostloader::PluginModule(o_.modulePath).CreateAnimationInitializer();
      return true;
    } catch (hostloader::LoadError const& e) {
      Fail(kModuleUnusable, e.what());
      return false;
    }
  }

  void Show(Illustration const& ill, DriveOutcome const& outcome, std::string const& file,
            bool several) {
    int const indent = several && o_.json ? 2 : 0;
    if (several) {
      std::string heading;
      if (o_.json) {
        heading = shown_ > 0 ? ",\n  " : "{\n  ";
        AppendJsonString(heading, file);
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

// A standard descriptor that is closed would be taken by the next file opened (the save's
// temporary file could receive the table). Each closed one is held by /dev/null, open the other
// way, so that reading standard input or writing standard output still fails as it should.
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

// Written without allocating, for when memory has run out.
void ReportOutOfMemory() {
  constexpr char kLine[] = "illhost: out of memory\n";
  WriteFully(STDERR_FILENO, {kLine, sizeof kLine - 1});
}

// Running out of memory ends the run with one line and exit 1, never an abort. Unwinding a
// std::bad_alloc is not safe here: some destructors allocate as they run (a parsed document
// does), and a second failure inside them would end the process with a core. So a failed
// allocation stops the run where it stands, removing a half-written save first.
[[noreturn]] void ExitOutOfMemory() {
  RemovePendingTemporaryFile();
  ReportOutOfMemory();
  _exit(kUsageOrOutput);
}

int RunMain(int argc, char** argv, FdStreamBuf& stdoutBuffer) {
  std::ostream out(&stdoutBuffer);
  CommandLine const line = ParseCommandLine(argc, argv, out);
  if (!line.error.empty()) ReportError(line.error);
  int status = line.exitStatus;
  if (line.options) {
    // The module's trace lines are kept from standard error unless asked for.
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
  // A closed pipe or a file-size limit is a write error to report, not a signal that kills.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  std::set_new_handler(illhost::ExitOutOfMemory);
  try {
    illhost::FdStreamBuf stdoutBuffer(STDOUT_FILENO);
    return illhost::RunMain(argc, argv, stdoutBuffer);
  } catch (std::bad_alloc const&) {
    illhost::ReportOutOfMemory();
    return illhost::kUsageOrOutput;
  }
}
