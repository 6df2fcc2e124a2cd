#include "illhost_process.h"

#include <fcntl.h>
#include <poll.h>
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

[[noreturn]] void ExecChild(Launch const& launch, int input, std::array<int, 2> const& out,
                            std::array<int, 2> const& err) {
  dup2(input, STDIN_FILENO);
  dup2(err[1], STDERR_FILENO);
  switch (launch.out) {
    case Stdout::Pipe:
    case Stdout::FirstLineOnly:
      dup2(out[1], STDOUT_FILENO);
      break;
    case Stdout::DevNull:
    case Stdout::DevFull: {
      int const fd = open(launch.out == Stdout::DevNull ? "/dev/null" : "/dev/full", O_WRONLY);
      dup2(fd, STDOUT_FILENO);
      break;
    }
    case Stdout::Closed:
      close(STDOUT_FILENO);
      break;
  }
  if (!launch.workingDirectory.empty() && chdir(launch.workingDirectory.c_str()) != 0) _exit(126);
  if (launch.inChild) launch.inChild();
  std::string const& program = launch.program.empty() ? Illhost() : launch.program;
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (auto const& a : launch.args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The test runner's SIGPIPE disposition must not leak into the child's defaults.
  signal(SIGPIPE, SIG_DFL);
  execv(argv[0], argv.data());
  _exit(127);
}

// Reads both pipes to their end; with `firstLineOnly`, closes standard output after a line.
void Drain(int outFd, int errFd, bool firstLineOnly, Outcome& result) {
  std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
  std::array<char, 65536> buffer{};
  int open = 2;
  while (open > 0) {
    if (poll(fds.data(), fds.size(), -1) < 0) continue;
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      ssize_t const n = read(fds[i].fd, buffer.data(), buffer.size());
      std::string& text = i == 0 ? result.out : result.err;
      if (n > 0) text.append(buffer.data(), static_cast<std::size_t>(n));
      bool const lineDone = i == 0 && firstLineOnly && text.find('\n') != std::string::npos;
      if (n <= 0 || lineDone) {
        if (lineDone) text.resize(text.find('\n') + 1);
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
}

}  // namespace

Outcome RunIllhostWith(Launch const& launch) {
  std::string const inputPath =
      (std::filesystem::temp_directory_path() / ("illhost-input-" + std::to_string(getpid())))
          .string();
  WriteFile(inputPath, launch.input);
  int const input = open(inputPath.c_str(), O_RDONLY | O_CLOEXEC);
  unlink(inputPath.c_str());
  std::array<int, 2> out{}, err{};
  Check(input >= 0 && pipe2(out.data(), O_CLOEXEC) == 0 && pipe2(err.data(), O_CLOEXEC) == 0,
        "cannot make the child's pipes");
  pid_t const pid = fork();
  Check(pid >= 0, "cannot fork");
  if (pid == 0) ExecChild(launch, input, out, err);
  close(input);
  close(out[1]);
  close(err[1]);
  if (launch.whileRunning) launch.whileRunning(pid);
  Outcome result;
  Drain(out[0], err[0], launch.out == Stdout::FirstLineOnly, result);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

Outcome RunIllhost(std::vector<std::string> args) {
  Launch launch;
  launch.args = std::move(args);
  return RunIllhostWith(launch);
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

std::string PartsIllustration(std::size_t tracks,
                              std::function<std::string(std::size_t)> const& name,
                              bool saveSuppressed) {
  auto const nameOf = [&](std::size_t i) {
    return name ? name(i) : "\"Part " + std::to_string(i) + "\"";
  };
  std::string instances, items, timeline;
  for (std::size_t i = 0; i < tracks; ++i) {
    std::string const n = std::to_string(i);
    std::string const sep = i == 0 ? "" : ",\n";
    instances += sep + R"({"id": "p)" + n + R"(", "name": "p)" + n + R"(", "display_name": )" +
                 nameOf(i) + "}";
    items += sep + R"({"id": "i)" + n + R"(", "type": "Instance", "display_name": )" + nameOf(i) +
             R"(, "object": "p)" + n + R"("})";
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
