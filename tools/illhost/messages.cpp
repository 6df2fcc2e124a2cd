#include "messages.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "quoting.h"

namespace illhost {
namespace {

// A message longer than this is cut: one line must stay one readable line.
constexpr std::size_t kMaxMessageColumns = 1000;

void WriteLine(std::string const& line) {
  std::size_t done = 0;
  while (done < line.size()) {
    ssize_t const n = write(STDERR_FILENO, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // nowhere left to say it
    done += static_cast<std::size_t>(n);
  }
}

void Report(std::string_view prefix, std::string_view message) {
  std::string line(prefix);
  AppendShown(line, message.substr(0, kMaxMessageColumns * 4), kMaxMessageColumns);
  line += '\n';
  WriteLine(line);
}

}  // namespace

void ReportError(std::string_view message) { Report("illhost: ", message); }
void ReportWarning(std::string_view message) { Report("illhost: warning: ", message); }

void ReportOutOfMemory() {
  constexpr char kLine[] = "illhost: out of memory\n";
  (void)!write(STDERR_FILENO, kLine, sizeof kLine - 1);
}

}  // namespace illhost
