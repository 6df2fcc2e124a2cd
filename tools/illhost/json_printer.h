// The tracks as JSON for tools and tests, written as it goes: keys in the documented order,
// integers for name types, null only where there is none.
#pragma once

#include <iosfwd>
#include <vector>

#include "driver.h"

namespace illhost {

// `{"tracks": [...]}` indented by two spaces a level, starting at `indent` spaces (for an
// object nested under a file name), without a final newline.
void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results, int indent = 0);

}  // namespace illhost
