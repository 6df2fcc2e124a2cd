// Writes an illustration back with every track stored: its shown name as the stored name and
// what Save wrote in its stored properties. Everything else is the text as it was read.
#pragma once

#include <iosfwd>
#include <vector>

#include "driver.h"
#include "illustration.h"
#include "input_text.h"

namespace illhost {

// `source` is the text that `illustration` was read from; `results` has one entry per track.
// Each track keeps its other members as they were written, drops "rename" and "refresh", and
// gets "stored" as its last member: {"name": shown name, "properties": the stored properties
// that Save did not write, as they were, then those it wrote}.
void WriteStoredIllustration(InputText const& source, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out);

}  // namespace illhost
