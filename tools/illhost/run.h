// One illhost run over its FILEs: each is read, then (once) the module is loaded, then its
// tracks are driven, shown and, with --save, written back.
#pragma once

#include <iosfwd>

#include "command_line.h"

namespace illhost {

// Writes the output to `out` and each failure, one line, to standard error; returns the exit
// status of the first failure, or 0.
int Run(Options const& options, std::ostream& out);

}  // namespace illhost
