// illhost's command line, and its exit statuses, which scripts depend on.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace illhost {

enum ExitStatus : int {
  kDone = 0,
  kUsageOrOutput = 1,   // bad command line, output or --save not written, out of memory
  kBadInput = 2,        // a FILE that cannot be read or is not a valid illustration
  kModuleUnusable = 3,  // the module cannot be loaded or does not answer
};

struct Options {
  std::string modulePath;
  bool json = false;
  bool wide = false;
  bool trace = false;
  std::optional<std::string> savePath;
  std::optional<std::string> explainTrack;
  std::vector<std::string> files;  // empty for the built-in sample; "-" for standard input
};

struct CommandLine {
  std::optional<Options> options;  // none when the command line was answered already
  int exitStatus = 0;
  std::string error;  // a usage error, one line without "illhost: "
};

// Parses argv; --help and --version are printed on `out`.
CommandLine ParseCommandLine(int argc, char const* const* argv, std::ostream& out);

}  // namespace illhost
