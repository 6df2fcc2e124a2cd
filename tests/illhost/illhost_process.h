// Runs illhost as a user would, from tests: arguments, standard input, where standard output
// goes, limits set in the child, and something to do while it runs.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace illhost_test {

enum class Stdout { Pipe, DevNull, DevFull, Closed, FirstLineOnly };

struct Launch {
  std::vector<std::string> args;
  std::vector<std::string> runAs;  // a command that runs illhost (setpriv ...), empty for none
  std::string program;             // an illhost to run instead of the build's (an installed one)
  std::string input;               // standard input
  Stdout out = Stdout::Pipe;
  std::function<void()> inChild;            // after fork, before exec
  std::function<void(pid_t)> whileRunning;  // in the test, before the output is read
};

struct Outcome {
  int exitCode = -1;  // -1 when a signal ended it
  int signal = 0;
  std::string out, err;
};

Outcome RunIllhostWith(Launch const& launch);

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(TempDir const&) = delete;
  TempDir& operator=(TempDir const&) = delete;
  std::filesystem::path const& path() const { return path_; }
  std::filesystem::path operator/(std::string const& name) const { return path_ / name; }
  // Names of the entries, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

std::string ReadFile(std::filesystem::path const& path);
void WriteFile(std::filesystem::path const& path, std::string const& text);

// An illustration of `tracks` tracks on parts named "Part 0", "Part 1", ...
std::string PartsIllustration(std::size_t tracks, bool saveSuppressed = false);

std::string Example(std::string const& name);  // the path of examples/NAME.json
std::string const& Illhost();

}  // namespace illhost_test
