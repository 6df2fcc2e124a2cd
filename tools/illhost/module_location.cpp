#include "module_location.h"

#include <filesystem>

namespace illhost {

std::string DefaultModulePath() {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path folder = fs::read_symlink("/proc/self/exe", error).parent_path();
  if (folder.empty()) folder = ".";
  constexpr char const* kCandidates[] = {"../lib/illanimation/libillanimation.so",
                                         "../plugin/libillanimation.so"};
  for (char const* candidate : kCandidates) {
    fs::path const found = fs::canonical(folder / candidate, error);
    if (!error) return found.string();
  }
  return (folder / kCandidates[0]).string();
}

}  // namespace illhost
