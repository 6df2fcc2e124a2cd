#include "fd_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "quoting.h"

namespace illhost {
namespace {

constexpr std::size_t kMaxMessageColumns = 1000;

void Report(std::string_view prefix, std::string_view message) {
  std::string line(prefix);
  // Each value in a message was escaped as the message was made; this escapes only what was
  // not (a library's own text), and no backslash again.
  AppendShown(line, message.substr(0, kMaxMessageColumns * 4), kMaxMessageColumns,
              Escaping::kMessage);
  line += '\n';
  WriteFully(STDERR_FILENO, line);  // when even this fails, there is nowhere left to say it
}

}  // namespace

int WriteFully(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t const written = ::write(fd, data.data(), data.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return written < 0 ? errno : EIO;
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

void ReportError(std::string_view message) { Report("illhost: ", message); }
void ReportWarning(std::string_view message) { Report("illhost: warning: ", message); }

FdStreamBuf::FdStreamBuf(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool FdStreamBuf::Write(char const* data, std::size_t size) {
  if (error_ == 0) error_ = WriteFully(fd_, {data, size});
  return error_ == 0;
}

bool FdStreamBuf::Flush() {
  bool const ok = Write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
  setp(buffer_.data(), buffer_.data() + buffer_.size());
  return ok;
}

FdStreamBuf::int_type FdStreamBuf::overflow(int_type c) {
  if (!Flush()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

std::streamsize FdStreamBuf::xsputn(char const* data, std::streamsize size) {
  if (error_ != 0) return 0;
  if (size <= epptr() - pptr()) {
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
  }
  return Flush() && Write(data, static_cast<std::size_t>(size)) ? size : 0;
}

}  // namespace illhost
