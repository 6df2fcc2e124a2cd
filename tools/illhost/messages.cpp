#include "messages.h"

#include <unistd.h>

#include <string>

#include "fd_stream.h"
#include "quoting.h"

namespace illhost {
namespace {

// A message longer than this is cut: one line must stay one readable line.
constexpr std::size_t kMaxMessageColumns = 1000;

void Report(std::string_view prefix, std::string_view message) {
  std::string line(prefix);
  AppendShown(line, message.substr(0, kMaxMessageColumns * 4), kMaxMessageColumns);
  line += '\n';
  WriteFully(STDERR_FILENO, line);  // when even this fails, there is nowhere left to say it
}

}  // namespace

void ReportError(std::string_view message) { Report("illhost: ", message); }
void ReportWarning(std::string_view message) { Report("illhost: warning: ", message); }

void ReportOutOfMemory() {
  constexpr char kLine[] = "illhost: out of memory\n";
  WriteFully(STDERR_FILENO, {kLine, sizeof kLine - 1});
}

}  // namespace illhost
