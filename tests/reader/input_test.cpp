// Reading the input once: files and standard input, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

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
    auto const start = std::chrono::steady_clock::now();
    auto const input = illhost::InputText::Load(path);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    std::string const read = bytes.empty() ? std::string(1, '\0') : bytes;
    EXPECT_EQ(input.Text(), read.substr(0, std::min(read.find('\0'), read.size() - 1) + 1));
    EXPECT_EQ(input.Name(), path);
    for (std::size_t i = 0; i < illhost::InputText::kPadding; ++i)
      ASSERT_EQ(input.Text().data()[input.Text().size() + i], '\0');
  }
  std::remove(file.c_str());
}

TEST(InputText, ReadsAPipeAsStandardInputDoes) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  std::string const text(300000, ' ');  // larger than a pipe holds: read in many parts
  std::FILE* writer = ::fdopen(ends[1], "w");
  int const saved = ::dup(STDIN_FILENO);
  ::dup2(ends[0], STDIN_FILENO);
  ::close(ends[0]);
  if (::fork() == 0) {
    std::fwrite(text.data(), 1, text.size(), writer);
    std::fflush(writer);
    std::_Exit(0);
  }
  std::fclose(writer);
  auto const input = illhost::InputText::Load("-");
  ::dup2(saved, STDIN_FILENO);
  ::close(saved);
  EXPECT_EQ(input.Text().size(), text.size());
  EXPECT_EQ(input.Name(), "(standard input)");
}

}  // namespace
