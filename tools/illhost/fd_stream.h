// Output to a file descriptor that keeps the first write error, which iostreams do not; and
// the one line per failure or warning that illhost writes on standard error.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

namespace illhost {

// Never changes errno when closing, so that a failure can still be reported with its reason.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  ~Fd() {
    int const saved = errno;
    Close();
    errno = saved;
  }
  int get() const { return fd_; }
  // 0, or -1 with errno set when closing failed.
  int Close() { return fd_ < 0 ? 0 : close(std::exchange(fd_, -1)); }

 private:
  int fd_;
};

// Returns 0 or the errno of the failure.
int WriteFully(int fd, std::string_view data);

void ReportError(std::string_view message);
void ReportWarning(std::string_view message);

class FdStreamBuf : public std::streambuf {
 public:
  explicit FdStreamBuf(int fd, std::size_t bufferSize = 1 << 16);
  FdStreamBuf(FdStreamBuf const&) = delete;
  FdStreamBuf& operator=(FdStreamBuf const&) = delete;

  // False once any write has failed.
  bool Flush();
  // The errno of the first failed write; after it further output is dropped.
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(char const* data, std::streamsize size) override;
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Write(char const* data, std::size_t size);

  int fd_;
  int error_ = 0;
  std::vector<char> buffer_;
};

}  // namespace illhost
