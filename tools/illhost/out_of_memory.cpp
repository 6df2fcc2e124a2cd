#include "out_of_memory.h"

#include <unistd.h>

#include <new>

#include "atomic_save.h"
#include "exit_status.h"
#include "messages.h"

namespace illhost {
namespace {

[[noreturn]] void ReportAndExit() {
  RemovePendingTemporaryFile();
  ReportOutOfMemory();
  _exit(kUsageOrOutput);
}

}  // namespace

void ExitCleanlyWhenMemoryRunsOut() { std::set_new_handler(ReportAndExit); }

}  // namespace illhost
