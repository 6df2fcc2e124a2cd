// The bytes of an illustration, read once, padded so that the parser can walk them in place.
#pragma once

#include <simdjson.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace illhost {

class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// examples/sample.json, built in.
extern char const kSampleIllustration[];
extern std::size_t const kSampleSize;

// An allocation that failed outside operator new (the parser's own buffers): the program's
// new-handler runs as for operator new, then std::bad_alloc is thrown.
[[noreturn]] void OutOfMemory();

class InputText {
 public:
  static constexpr std::size_t kPadding = simdjson::SIMDJSON_PADDING;
  // The largest text read: the parser counts places in 32 bits.
  static constexpr std::size_t kMaxSize = (std::size_t{1} << 32) - 1 - kPadding;

  // Standard input for "-". The read stops at the first NUL byte, which no illustration has
  // (the text then ends with it, for the reader to name).
  static InputText Load(std::string const& path);
  static InputText Sample();
  static InputText FromText(std::string_view text, std::string name);

  std::string_view Text() const { return {bytes_.data(), size_}; }
  // The path escaped as terminal text, "(standard input)" or "(built-in sample)".
  std::string const& Name() const { return name_; }

 private:
  InputText(simdjson::padded_string bytes, std::size_t size, std::string name)
      : bytes_(std::move(bytes)), size_(size), name_(std::move(name)) {}
  simdjson::padded_string bytes_;  // size_ bytes or more, the first kPadding after them zero
  std::size_t size_;
  std::string name_;
};

}  // namespace illhost
