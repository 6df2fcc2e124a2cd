#include "input_text.h"

#include <fstream>
#include <iostream>
#include <sstream>
#include <utility>

#include "illustration_reader.h"
#include "sample.h"

namespace illhost {

InputText::InputText(std::string text, std::string name)
    : text_(std::move(text)), name_(std::move(name)) {}

InputText InputText::Load(std::string const& path) {
  std::ostringstream buffer;
  if (path == "-") {
    buffer << std::cin.rdbuf();
    return InputText(buffer.str(), "(standard input)");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ReadError(path + ": cannot be read");
  buffer << in.rdbuf();
  return InputText(buffer.str(), path);
}

InputText InputText::Sample() { return InputText(kSampleIllustration, "(built-in sample)"); }

}  // namespace illhost
