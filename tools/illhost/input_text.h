// The bytes of an illustration, read once: a file, standard input ("-") or the built-in sample.
#pragma once

#include <string>
#include <string_view>

namespace illhost {

class InputText {
 public:
  // Reads the file, or standard input for "-"; ReadError ("FILE: cannot be read: reason") when
  // it cannot.
  static InputText Load(std::string const& path);
  // The built-in sample illustration.
  static InputText Sample();

  std::string_view Text() const { return text_; }
  // How messages name the input: the path, "(standard input)" or "(built-in sample)".
  std::string const& Name() const { return name_; }

 private:
  InputText(std::string text, std::string name);
  std::string text_;
  std::string name_;
};

}  // namespace illhost
