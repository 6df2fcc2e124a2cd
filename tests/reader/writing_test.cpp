// What --save writes: the text as it was read, with each track stored. A whole file, its text
// outside the tracks and a renamed track are checked by illhost.save.stored_properties.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "illustration.h"

namespace {

illhost::TrackResult Result(std::string shown,
                            std::vector<std::pair<std::string, std::int64_t>> saved) {
  illhost::TrackResult r;
  r.shownName = std::move(shown);
  r.saved = std::move(saved);
  return r;
}

// tests/reader/writing/NAME.json, written with the results of its tracks, is NAME.saved.json
// byte for byte (neither file ends with a newline unless the case says so), and reads again.
TEST(Writing, KeepsTheTextAndStoresEachTrack) {
  std::pair<char const*, std::vector<illhost::TrackResult>> const rows[] = {
      // name, results
      // Unknown stored properties kept in order, Save's values taken, 64-bit values whole.
      {"stored_properties", {Result("new", {{"name_type", 4464}, {"extra", 2}})}},
      // A track that saves nothing keeps what was stored.
      {"suppressed", {Result("n", {})}},
      // The layout of each track kept, shown names escaped.
      {"layout",
       {Result("quote \" back\\slash\nline \x01 caf\xc3\xa9 \xff", {{"name_type", 2}}),
        Result("b", {{"name_type", 3}})}},
  };
  for (auto const& [name, results] : rows) {
    std::string const path = std::string(READER_CASES_DIR "/writing/") + name;
    auto const input = illhost::InputText::Load(path + ".json");
    std::ostringstream out;
    illhost::WriteStoredIllustration(input, *illhost::ReadIllustration(input), results, out);
    EXPECT_EQ(out.str(), illhost::InputText::Load(path + ".saved.json").Text()) << name;
    EXPECT_NO_THROW(illhost::ReadIllustration(out.str(), "saved.json")) << out.str();
  }
}

}  // namespace
