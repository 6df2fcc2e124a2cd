// Running out of memory ends the run with one line and exit 1, never an abort. Unwinding a
// std::bad_alloc is not safe here: some destructors allocate as they run (a parsed document
// does), and a second failure inside them would end the process with a core. So a failed
// allocation stops the run where it stands, removing a half-written save first.
#pragma once

namespace illhost {

void ExitCleanlyWhenMemoryRunsOut();

}  // namespace illhost
