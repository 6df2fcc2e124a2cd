// illhost's exit statuses; scripts depend on them.
#pragma once

namespace illhost {
enum ExitStatus : int {
  kDone = 0,
  kUsageOrOutput = 1,   // bad command line, output or --save not written, out of memory
  kBadInput = 2,        // a FILE that cannot be read or is not a valid illustration
  kModuleUnusable = 3,  // the module cannot be loaded or does not answer
};
}  // namespace illhost
