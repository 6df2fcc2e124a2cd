#include "module_location.h"

#include <unistd.h>

#include <array>
#include <climits>
#include <cstdlib>

namespace illhost {
namespace {

constexpr char const* kCandidates[] = {"/../lib/illanimation/libillanimation.so",
                                       "/../plugin/libillanimation.so"};

std::string ProgramFolder() {
  std::array<char, PATH_MAX> buffer{};
  ssize_t const length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return ".";
  std::string const program(buffer.data(), static_cast<std::size_t>(length));
  std::size_t const slash = program.rfind('/');
  return slash == std::string::npos ? "." : program.substr(0, slash);
}

}  // namespace

std::string DefaultModulePath() {
  std::string const folder = ProgramFolder();
  for (char const* candidate : kCandidates) {
    std::array<char, PATH_MAX> resolved{};
    if (realpath((folder + candidate).c_str(), resolved.data())) return resolved.data();
  }
  return folder + kCandidates[0];
}

}  // namespace illhost
