// The bytes of an illustration, read once: a file, standard input ("-") or the built-in sample.
// They are held once, followed by zero bytes of padding that the JSON parser may read past the
// end, so that it can walk them in place.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace illhost {

class InputText {
 public:
  // Zero bytes kept readable after the text.
  static constexpr std::size_t kPadding = 64;
  // The largest text read: the parser counts places in 32 bits.
  static constexpr std::size_t kMaxSize = (std::size_t{1} << 32) - 1 - kPadding;

  // Reads the file, or standard input for "-"; ReadError ("FILE: cannot be read: reason") when
  // it cannot: a folder, a read error, or more than kMaxSize bytes.
  static InputText Load(std::string const& path);
  // The built-in sample illustration.
  static InputText Sample();
  // `text` itself, for tests and fuzzing.
  static InputText FromText(std::string_view text, std::string name);

  std::string_view Text() const { return {bytes_.get(), size_}; }
  // How messages name the input: the path, "(standard input)" or "(built-in sample)".
  std::string const& Name() const { return name_; }

 private:
  InputText(std::unique_ptr<char[]> bytes, std::size_t size, std::string name);
  std::unique_ptr<char[]> bytes_;  // size_ bytes and kPadding zero bytes
  std::size_t size_ = 0;
  std::string name_;
};

}  // namespace illhost
