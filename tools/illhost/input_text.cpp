#include "input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <utility>

#include "fd_stream.h"
#include "quoting.h"

namespace illhost {

namespace {

[[noreturn]] void Fail(std::string const& name, std::string const& reason) {
  throw ReadError(name + ": cannot be read: " + reason);
}

simdjson::padded_string Buffer(std::size_t size) {
  simdjson::padded_string bytes(size);
  if (!bytes.data()) OutOfMemory();
  return bytes;
}

// A regular file is read into a buffer of its size; anything else (pipes, devices, a file that
// grows while it is read) into one that doubles.
std::pair<simdjson::padded_string, std::size_t> ReadAll(int fd, std::string const& name) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) Fail(name, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) Fail(name, std::strerror(EISDIR));
  std::size_t capacity = 1 << 16;
  if (S_ISREG(info.st_mode) && info.st_size > 0) {
    if (static_cast<std::size_t>(info.st_size) > InputText::kMaxSize)
      Fail(name, "larger than 4 GiB");
    capacity = static_cast<std::size_t>(info.st_size) + 1;  // + 1 to see the end in one call
  }
  simdjson::padded_string bytes = Buffer(capacity);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      if (size > InputText::kMaxSize) Fail(name, "larger than 4 GiB");
      capacity = std::min(capacity * 2, InputText::kMaxSize + 1);
      simdjson::padded_string larger = Buffer(capacity);
      std::memcpy(larger.data(), bytes.data(), size);
      bytes = std::move(larger);
    }
    ssize_t const got = ::read(fd, bytes.data() + size, capacity - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(name, std::strerror(errno));
    if (got == 0) break;
    auto const* nul = static_cast<char const*>(
        std::memchr(bytes.data() + size, 0, static_cast<std::size_t>(got)));
    size = nul ? static_cast<std::size_t>(nul - bytes.data()) + 1
               : size + static_cast<std::size_t>(got);
    if (nul) break;
  }
  std::memset(bytes.data() + size, 0, InputText::kPadding);
  return {std::move(bytes), size};
}

}  // namespace

void OutOfMemory() {
  if (std::new_handler const handler = std::get_new_handler()) handler();
  throw std::bad_alloc();
}

InputText InputText::Load(std::string const& path) {
  bool const standardInput = path == "-";
  std::string name = standardInput ? "(standard input)" : EscapeControls(path);
  try {
    Fd const file(standardInput ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!standardInput && file.get() < 0) Fail(name, std::strerror(errno));
    auto [bytes, size] = ReadAll(standardInput ? STDIN_FILENO : file.get(), name);
    return InputText(std::move(bytes), size, std::move(name));
  } catch (std::bad_alloc const&) {
    Fail(name, "out of memory");
  }
}

InputText InputText::FromText(std::string_view text, std::string name) {
  simdjson::padded_string bytes = Buffer(text.size());
  if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size());
  return InputText(std::move(bytes), text.size(), std::move(name));
}

InputText InputText::Sample() {
  return FromText({kSampleIllustration, kSampleSize}, "(built-in sample)");
}

}  // namespace illhost
