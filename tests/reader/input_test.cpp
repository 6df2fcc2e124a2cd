// Reading the input once, byte for byte (standard input, a pipe read in many parts, is read by
// the command-line rows that save 200,000 tracks given there).
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <fstream>
#include <string>

#include "input_text.h"

namespace {

// The bytes as they are, up to and with the first NUL byte, where the read stops (at once, on
// an endless device of NUL bytes: no bytes given here); zero bytes after them.
TEST(InputText, HoldsTheBytesUpToTheFirstNulWithZeroPaddingAfter) {
  std::string const file = ::testing::TempDir() + "/bytes.json";
  for (std::string const& bytes : {std::string("{\"a\": \"\xff\"}\n"),
                                   std::string("{\"a\": \"\0\xff\"}\n", 13), std::string()}) {
    std::string const path = bytes.empty() ? "/dev/zero" : file;
    if (!bytes.empty()) std::ofstream(path, std::ios::binary) << bytes;
    auto const input = illhost::InputText::Load(path);
    std::string const read = bytes.empty() ? std::string(1, '\0') : bytes;
    EXPECT_EQ(input.Text(), read.substr(0, std::min(read.find('\0'), read.size() - 1) + 1));
    EXPECT_EQ(input.Name(), path);
    for (std::size_t i = 0; i < illhost::InputText::kPadding; ++i)
      ASSERT_EQ(input.Text().data()[input.Text().size() + i], '\0');
  }
  std::remove(file.c_str());
}

}  // namespace
