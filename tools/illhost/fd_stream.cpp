#include "fd_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace illhost {

FdStreamBuf::FdStreamBuf(int fd, std::size_t bufferSize) : fd_(fd), buffer_(bufferSize) {
  setp(buffer_.data(), buffer_.data() + buffer_.size());
}

FdStreamBuf::~FdStreamBuf() = default;

bool FdStreamBuf::WriteAll(char const* data, std::size_t size) {
  while (size > 0 && error_ == 0) {
    ssize_t const written = ::write(fd_, data, size);
    if (written < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return error_ == 0;
}

bool FdStreamBuf::Flush() {
  bool const ok = WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
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
  auto const room = static_cast<std::streamsize>(epptr() - pptr());
  if (size <= room) {
    std::memcpy(pptr(), data, static_cast<std::size_t>(size));
    pbump(static_cast<int>(size));
    return size;
  }
  // Larger than the room left: empty the buffer and write the block through.
  if (!Flush() || !WriteAll(data, static_cast<std::size_t>(size))) return 0;
  return size;
}

int FdStreamBuf::sync() { return Flush() ? 0 : -1; }

}  // namespace illhost
