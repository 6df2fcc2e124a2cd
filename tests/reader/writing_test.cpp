// What --save writes: the text as it was read, with each track stored. A whole file, its text
// outside the tracks and a renamed track are checked by illhost.save.stored_properties.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "illustration_reader.h"
#include "illustration_writer.h"

namespace {

struct Saved {
  char const* what;
  std::string text;
  std::vector<illhost::TrackResult> results;
  std::string expected;
};

illhost::TrackResult Result(std::string shown,
                            std::vector<std::pair<std::string, std::int64_t>> saved) {
  illhost::TrackResult r;
  r.shownName = std::move(shown);
  r.saved = std::move(saved);
  return r;
}

class Writing : public ::testing::TestWithParam<Saved> {};

TEST_P(Writing, KeepsTheTextAndStoresEachTrack) {
  auto const input = illhost::InputText::FromText(GetParam().text, "f.json");
  auto const ill = illhost::ReadIllustration(input);
  std::ostringstream out;
  illhost::WriteStoredIllustration(input, *ill, GetParam().results, out);
  EXPECT_EQ(out.str(), GetParam().expected) << GetParam().what;
  // What is written reads again.
  EXPECT_NO_THROW(illhost::ReadIllustration(out.str(), "saved.json")) << out.str();
}

INSTANTIATE_TEST_SUITE_P(
    Save, Writing,
    ::testing::Values(
        Saved{"unknown stored properties kept in order, Save's values taken",
              "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"stored\": {\"name\": \"old\", "
              "\"properties\": {\"colour\": -7, \"name_type\": 70000, \"z\": "
              "9223372036854775807}}}]}}",
              {Result("new", {{"name_type", 4464}, {"extra", 2}})},
              "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"stored\": {\"name\": \"new\", "
              "\"properties\": {\"colour\": -7, \"name_type\": 4464, \"z\": 9223372036854775807, "
              "\"extra\": 2}}}]}}"},
        Saved{"nothing saved keeps what was stored",
              "{\"timeline\": {\"save_suppressed\": true, \"tracks\": [{\"id\": \"t\", \"stored\": "
              "{\"properties\": {\"name_type\": 0}}}]}}",
              {Result("n", {})},
              "{\"timeline\": {\"save_suppressed\": true, \"tracks\": [{\"id\": \"t\", \"stored\": "
              "{\"name\": \"n\", \"properties\": {\"name_type\": 0}}}]}}"},
        Saved{
            "layout of each track kept, shown names escaped",
            "{\"timeline\": {\"tracks\": [\n"
            "    {\n      \"refresh\": false,\n      \"id\": \"a\",\n      \"locked\": false\n    "
            "},\n"
            "    {\"id\":\"b\",\"stored\":{\"name\":\"x\"}}\n  ]}}\n",
            {Result("quote \" back\\slash\nline \x01 caf\xc3\xa9 \xff", {{"name_type", 2}}),
             Result("b", {{"name_type", 3}})},
            "{\"timeline\": {\"tracks\": [\n"
            "    {\n      \"id\": \"a\",\n      \"locked\": false,\n      \"stored\": {\"name\": "
            "\"quote \\\" back\\\\slash\\nline \\u0001 caf\xc3\xa9 \\ufffd\", \"properties\": "
            "{\"name_type\": 2}}\n    },\n"
            "    {\"id\":\"b\",\"stored\": {\"name\": \"b\", \"properties\": {\"name_type\": 3}}}\n"
            "  ]}}\n"}));

}  // namespace
