// Writes an illustration back with every track stored: its shown name as the stored name and
// what Save wrote as its stored properties.
#pragma once

#include <iosfwd>
#include <vector>

#include "driver.h"
#include "illustration.h"
#include "input_text.h"

namespace illhost {

// `source` is the text that `illustration` was read from; `results` has one entry per track.
void WriteStoredIllustration(InputText const& source, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out);

}  // namespace illhost
