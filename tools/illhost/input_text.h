// The bytes of an illustration, read once: a file, standard input ("-") or the built-in sample,
// in a simdjson::padded_string so that the parser can walk them in place.
#pragma once

#include <simdjson.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace illhost {

// An input that cannot be read, or is not an illustration: one line that says which and why.
class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of examples/sample.json, which the build writes into a generated source.
extern char const kSampleIllustration[];
extern std::size_t const kSampleSize;

// An allocation that failed outside operator new (the parser's own buffers): the program's
// new-handler runs as for operator new, then std::bad_alloc is thrown.
[[noreturn]] void OutOfMemory();

class InputText {
 public:
  // Zero bytes kept readable after the text.
  static constexpr std::size_t kPadding = simdjson::SIMDJSON_PADDING;
  // The largest text read: the parser counts places in 32 bits.
  static constexpr std::size_t kMaxSize = (std::size_t{1} << 32) - 1 - kPadding;

  // Reads the file, or standard input for "-". The read stops at the first NUL byte, which no
  // illustration has (the text then ends with it, for the reader to name). ReadError ("FILE:
  // cannot be read: reason") for a folder, a read error, more than kMaxSize bytes or no memory.
  static InputText Load(std::string const& path);
  static InputText Sample();
  // `text` itself, for tests and fuzzing.
  static InputText FromText(std::string_view text, std::string name);

  std::string_view Text() const { return {bytes_.data(), size_}; }
  // How messages name the input: the path escaped as terminal text, "(standard input)" or
  // "(built-in sample)".
  std::string const& Name() const { return name_; }

 private:
  InputText(simdjson::padded_string bytes, std::size_t size, std::string name)
      : bytes_(std::move(bytes)), size_(size), name_(std::move(name)) {}
  simdjson::padded_string bytes_;  // size_ bytes or more, the first kPadding after them zero
  std::size_t size_;
  std::string name_;
};

}  // namespace illhost
