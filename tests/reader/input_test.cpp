// Reading the input once: files and standard input, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include <cstdio>
#include <fstream>
#include <string>

#include "illustration.h"
#include "input_text.h"

namespace {

// The bytes as they are, up to and with the first NUL byte, where the read stops; zero bytes
// after them.
TEST(InputText, HoldsTheBytesUpToTheFirstNulWithZeroPaddingAfter) {
  std::string const path = ::testing::TempDir() + "/bytes.json";
  for (std::string const& bytes :
       {std::string("{\"a\": \"\xff\"}\n"), std::string("{\"a\": \"\0\xff\"}\n", 13)}) {
    std::ofstream(path, std::ios::binary) << bytes;
    auto const input = illhost::InputText::Load(path);
    EXPECT_EQ(input.Text(), bytes.substr(0, std::min(bytes.find('\0'), bytes.size() - 1) + 1));
    EXPECT_EQ(input.Name(), path);
    for (std::size_t i = 0; i < illhost::InputText::kPadding; ++i)
      ASSERT_EQ(input.Text().data()[input.Text().size() + i], '\0');
  }
  std::remove(path.c_str());
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

// An endless device ends the read at its first NUL byte: at once, holding one buffer.
TEST(InputText, StopsAnEndlessReadAtItsFirstNulByte) {
  auto const start = std::chrono::steady_clock::now();
  auto const input = illhost::InputText::Load("/dev/zero");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(input.Text(), std::string(1, '\0'));
  try {
    illhost::ReadIllustration(input);
    ADD_FAILURE() << "read";
  } catch (illhost::ReadError const& e) {
    EXPECT_STREQ(e.what(), "/dev/zero:1:1: byte 0: $: NUL byte");
  }
}

}  // namespace
