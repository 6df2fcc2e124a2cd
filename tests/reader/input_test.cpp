// Reading the input once: files and standard input, byte for byte.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "illustration_reader.h"
#include "input_text.h"

namespace {

TEST(InputText, HoldsTheBytesAsTheyAreWithZeroPaddingAfter) {
  std::string const path = ::testing::TempDir() + "/bytes.json";
  std::string const bytes("{\"a\": \"\0\xff\"}\n", 13);
  std::ofstream(path, std::ios::binary) << bytes;
  auto const input = illhost::InputText::Load(path);
  EXPECT_EQ(input.Text(), bytes);
  EXPECT_EQ(input.Name(), path);
  for (std::size_t i = 0; i < illhost::InputText::kPadding; ++i)
    ASSERT_EQ(input.Text().data()[bytes.size() + i], '\0');
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

}  // namespace
