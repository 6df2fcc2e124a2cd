#include "input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "heap_pages.h"
#include "illustration_reader.h"
#include "sample.h"

namespace illhost {

namespace {

// Closes the file on every way out.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd > 2) ::close(fd);
  }
};

[[noreturn]] void Fail(std::string const& name, std::string const& reason) {
  throw ReadError(name + ": cannot be read: " + reason);
}

// Buffers are sized to what fstat reports for a regular file and grown by half otherwise
// (pipes, devices, a file that grows while it is read).
std::pair<std::unique_ptr<char[]>, std::size_t> ReadAll(int fd, std::string const& name) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) Fail(name, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) Fail(name, std::strerror(EISDIR));
  std::size_t capacity = 1 << 16;
  if (S_ISREG(info.st_mode) && info.st_size > 0)
    capacity = static_cast<std::size_t>(info.st_size) + 1;  // + 1 to see the end in one call
  if (capacity > InputText::kMaxSize + 1) capacity = InputText::kMaxSize + 1;
  // The text and the model built from it take up to about seven times the text: the text too
  // goes on the large pages that the model gets, with fewer page faults to read it.
  if (S_ISREG(info.st_mode)) PrepareHeapFor(capacity * 7);
  std::unique_ptr<char[]> bytes(new char[capacity + InputText::kPadding]);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      if (size > InputText::kMaxSize) Fail(name, "larger than 4 GiB");
      std::size_t const grown = std::min(capacity + capacity / 2, InputText::kMaxSize + 1);
      std::unique_ptr<char[]> larger(new char[grown + InputText::kPadding]);
      std::memcpy(larger.get(), bytes.get(), size);
      bytes = std::move(larger);
      capacity = grown;
    }
    ssize_t const got = ::read(fd, bytes.get() + size, capacity - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(name, std::strerror(errno));
    if (got == 0) break;
    size += static_cast<std::size_t>(got);
  }
  std::memset(bytes.get() + size, 0, InputText::kPadding);
  return {std::move(bytes), size};
}

}  // namespace

InputText::InputText(std::unique_ptr<char[]> bytes, std::size_t size, std::string name)
    : bytes_(std::move(bytes)), size_(size), name_(std::move(name)) {}

InputText InputText::Load(std::string const& path) {
  bool const standardInput = path == "-";
  std::string name = standardInput ? "(standard input)" : path;
  Descriptor file{standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) Fail(name, std::strerror(errno));
  auto [bytes, size] = ReadAll(file.fd, name);
  return InputText(std::move(bytes), size, std::move(name));
}

InputText InputText::FromText(std::string_view text, std::string name) {
  std::unique_ptr<char[]> bytes(new char[text.size() + kPadding]);
  std::memcpy(bytes.get(), text.data(), text.size());
  std::memset(bytes.get() + text.size(), 0, kPadding);
  return InputText(std::move(bytes), text.size(), std::move(name));
}

InputText InputText::Sample() { return FromText(kSampleIllustration, "(built-in sample)"); }

}  // namespace illhost
