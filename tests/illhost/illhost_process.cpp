#include "illhost_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace illhost_test {
namespace {

void Check(bool ok, char const* what) {
  if (!ok) throw std::runtime_error(what);
}

[[noreturn]] void ExecChild(Launch const& launch, int input, int out, int err) {
  dup2(input, STDIN_FILENO);
  dup2(err, STDERR_FILENO);
  if (launch.out == Stdout::Closed) close(STDOUT_FILENO);
  if (launch.out == Stdout::DevNull || launch.out == Stdout::DevFull)
    dup2(open(launch.out == Stdout::DevNull ? "/dev/null" : "/dev/full", O_WRONLY), STDOUT_FILENO);
  if (launch.out == Stdout::Pipe || launch.out == Stdout::FirstLineOnly) dup2(out, STDOUT_FILENO);
  if (launch.inChild) launch.inChild();
  std::vector<char*> argv;
  for (auto const& a : launch.runAs) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(const_cast<char*>((launch.program.empty() ? Illhost() : launch.program).c_str()));
  for (auto const& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The test runner's SIGPIPE disposition must not leak into the child's defaults.
  signal(SIGPIPE, SIG_DFL);
  execvp(argv[0], argv.data());
  _exit(127);
}

// A file without a name in the temporary folder, open for reading and writing.
int UnnamedFile() {
  int const fd =
      open(std::filesystem::temp_directory_path().c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  Check(fd >= 0, "cannot make a temporary file");
  return fd;
}

// Reads `fd` to its end; with `firstLineOnly`, stops after the first line.
std::string ReadAll(int fd, bool firstLineOnly = false) {
  std::string text;
  std::array<char, 65536> buffer{};
  for (ssize_t n = 0; (n = read(fd, buffer.data(), buffer.size())) > 0;) {
    text.append(buffer.data(), static_cast<std::size_t>(n));
    if (firstLineOnly && text.find('\n') != std::string::npos) {
      text.resize(text.find('\n') + 1);
      break;
    }
  }
  return text;
}

}  // namespace

Outcome RunIllhostWith(Launch const& launch) {
  // Standard input and standard error are files, standard output a pipe that may be cut short.
  int const input = UnnamedFile(), err = UnnamedFile();
  auto const size = static_cast<ssize_t>(launch.input.size());
  std::array<int, 2> out{};
  Check(write(input, launch.input.data(), launch.input.size()) == size &&
            lseek(input, 0, SEEK_SET) == 0 && pipe2(out.data(), O_CLOEXEC) == 0,
        "cannot prepare the child's input and output");
  pid_t const pid = fork();
  Check(pid >= 0, "cannot fork");
  if (pid == 0) ExecChild(launch, input, out[1], err);
  close(input);
  close(out[1]);
  if (launch.whileRunning) launch.whileRunning(pid);
  Outcome result;
  result.out = ReadAll(out[0], launch.out == Stdout::FirstLineOnly);
  close(out[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  lseek(err, 0, SEEK_SET);
  result.err = ReadAll(err);
  close(err);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "illhost-test-XXXXXX").string();
  Check(mkdtemp(pattern.data()) != nullptr, "cannot make a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempDir::Entries() const {
  std::vector<std::string> names;
  for (auto const& entry : std::filesystem::directory_iterator(path_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(std::filesystem::path const& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(std::filesystem::path const& path, std::string const& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  Check(static_cast<bool>(out.flush()), "cannot write a test file");
}

std::string PartsIllustration(std::size_t tracks, bool saveSuppressed) {
  std::string instances, items, timeline;
  for (std::size_t i = 0; i < tracks; ++i) {
    std::string const n = std::to_string(i), sep = i == 0 ? "" : ",\n";
    instances += sep + R"({"id": "p)" + n + R"(", "name": "p)" + n +
                 R"(", "display_name": "Part )" + n + "\"}";
    items += sep + R"({"id": "i)" + n + R"(", "type": "Instance", "display_name": "Part )" + n +
             R"(", "object": "p)" + n + R"("})";
    timeline +=
        sep + R"({"id": "t)" + n + R"(", "target": {"item": "i)" + n + R"(", "scene": "s"}})";
  }
  return R"({"instances": [)" + instances + R"(], "scenes": [{"id": "s"}], "selection_items": [)" +
         items + R"(], "timeline": {"save_suppressed": )" + (saveSuppressed ? "true" : "false") +
         R"(, "tracks": [)" + timeline + "]}}\n";
}

std::string Example(std::string const& name) {
  return std::string(ILLHOST_EXAMPLES_DIR) + "/" + name + ".json";
}

std::string const& Illhost() {
  static std::string const path = ILLHOST_PATH;
  return path;
}

}  // namespace illhost_test
