// Built into a copy of the module in place of its own: instance-name matching that never
// matches, so that a test can show that --explain reports what the module did.
#include "center_line_resolution.h"

namespace illanimation {

bool MatchesInstanceName(du::SmartPtr<qmk::BaseInstance> const&, std::string const&) {
  return false;
}

}  // namespace illanimation
