// illhost: loads the module as the host does, builds an illustration from each file (or the
// built-in sample) and shows what the module makes of each of its tracks.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <new>
#include <ostream>
#include <string>

#include "command_line.h"
#include "exit_status.h"
#include "fd_stream.h"
#include "hostseams.h"
#include "messages.h"
#include "out_of_memory.h"
#include "run.h"

namespace {

// A standard descriptor that is closed would be taken by the next file opened (the save's
// temporary file could receive the table). Each closed one is held by /dev/null, open the other
// way, so that reading standard input or writing standard output still fails as it should.
void HoldClosedStandardDescriptors() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1) continue;
    int const held = open("/dev/null", fd == STDIN_FILENO    ? O_WRONLY
                                       : fd == STDOUT_FILENO ? O_RDONLY
                                                             : O_RDWR);
    if (held >= 0 && held != fd) {
      dup2(held, fd);
      close(held);
    }
  }
}

int RunMain(int argc, char** argv, illhost::FdStreamBuf& stdoutBuffer) {
  std::ostream out(&stdoutBuffer);
  illhost::CommandLine const line = illhost::ParseCommandLine(argc, argv, out);
  if (!line.error.empty()) illhost::ReportError(line.error);
  int status = line.exitStatus;
  if (line.options) {
    // The module's trace lines are kept from standard error unless asked for.
    if (!line.options->trace) hostseams::TraceCapture::Start();
    status = illhost::Run(*line.options, out);
  }
  if (!stdoutBuffer.Flush()) {
    illhost::ReportError(std::string("cannot write standard output: ") +
                         std::strerror(stdoutBuffer.Error()));
    if (status == illhost::kDone) status = illhost::kUsageOrOutput;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  HoldClosedStandardDescriptors();
  // A closed pipe or a file-size limit is a write error to report, not a signal that kills.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  illhost::ExitCleanlyWhenMemoryRunsOut();
  try {
    illhost::FdStreamBuf stdoutBuffer(STDOUT_FILENO);
    return RunMain(argc, argv, stdoutBuffer);
  } catch (std::bad_alloc const&) {
    illhost::ReportOutOfMemory();
    return illhost::kUsageOrOutput;
  }
}
