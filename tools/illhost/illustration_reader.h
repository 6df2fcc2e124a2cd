// Reads an illustration file into the host stand-in. Any text is accepted: what is not a
// valid illustration gives a ReadError whose message names the file and the place in it.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "illustration.h"

namespace illhost {

class ReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Only one illustration may live at a time: it installs the world's and the application's trees.
std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName);

}  // namespace illhost
