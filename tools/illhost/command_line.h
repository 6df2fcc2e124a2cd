// illhost's command line: what to run, or what it already answered (help, version, an error).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace illhost {

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
