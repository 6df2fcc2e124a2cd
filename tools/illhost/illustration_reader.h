// Reads an illustration file into the host stand-in. Any text is accepted: what is not a
// valid illustration gives a ReadError whose one-line message names the file, the line, column
// and byte, the JSON path and what was expected there.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "illustration.h"
#include "input_text.h"

namespace illhost {

// Only one illustration may live at a time: it installs the world's and the application's trees.
// The text is walked where it lies; nothing read refers to it afterwards.
std::unique_ptr<Illustration> ReadIllustration(InputText const& input);
// The same for text without the parser's padding after it, which is copied first.
std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName);

}  // namespace illhost
