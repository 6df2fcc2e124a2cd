// What people read is escaped and cut; what tools read is data. --explain reports what the
// module did, even when the module is wrong.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "illhost_process.h"

namespace illhost_test {
namespace {

// One stored track on a part: a long name with a control character, and many stored
// properties.
std::string StoredTrack(std::string const& name, int properties) {
  std::string stored;
  for (int i = 0; i < properties; ++i)
    stored +=
        (i ? ", " : "") + std::string("\"key") + std::to_string(i) + "\": " + std::to_string(i);
  return R"({"instances": [{"id": "p", "display_name": "Part"}], "scenes": [{"id": "s"}],
  "selection_items": [{"id": "i", "type": "Instance", "display_name": "Part", "object": "p"}],
  "timeline": {"tracks": [{"id": "t", "target": {"item": "i", "scene": "s"},
    "stored": {"name": ")" +
         name + R"(", "properties": {)" + stored + "}}}]}}\n";
}

TEST(IllhostShown, ExplainJsonCarriesValuesWholeAndTheTextCutsEveryValue) {
  TempDir dir;
  std::string const name = std::string(300, 'n') + "\\u001b[2J";
  WriteFile(dir / "t.json", StoredTrack(name, 5000));
  Outcome const json = RunIllhost({"--json", "--explain", "t", (dir / "t.json").string()});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  nlohmann::json const steps = nlohmann::json::parse(json.out)["steps"];
  EXPECT_EQ(steps[1]["step"], "SetTrackName");
  EXPECT_EQ(steps[1]["argument"], std::string(300, 'n') + "\x1b[2J");
  EXPECT_EQ(steps[2]["argument"].size(), 5000U);
  EXPECT_EQ(steps[2]["argument"]["key4999"], 4999);
  for (auto const& step : steps) {
    std::string const s = step["step"];
    EXPECT_EQ(step["result"].is_boolean(), s == "UsesTargetName") << s;
    EXPECT_EQ(step["result"].is_object(), s == "Save") << s;
    auto const& calls = step["host_calls"];
    EXPECT_EQ(std::adjacent_find(calls.begin(), calls.end()), calls.end()) << calls;
  }

  Outcome const text = RunIllhost({"--explain", "t", (dir / "t.json").string()});
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_EQ(text.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(text.out.find(" times)"), std::string::npos);
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);)
    EXPECT_LT(line.size(), 300U) << line.substr(0, 100);
  EXPECT_NE(text.out.find("SetTrackName \"nnnn"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Load {\"key0\": 0, "), std::string::npos) << text.out;
}

TEST(IllhostShown, TableCountsAJoinedEmojiAsTwoColumnsAndShowsInvisibleCharacters) {
  TempDir dir;
  // A family (three people joined) and a flag are two columns each; a zero-width space, a
  // joiner between letters and hidden tag characters are shown as escapes.
  std::string const family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
  std::string names[] = {family + family, "\U0001F1EB\U0001F1F7",
                         "a\u200Bb",      "a\u200Db",
                         "ok\U000E0041",  std::string(37, 'w') + family + family};
  std::string instances, items, tracks;
  for (int i = 0; i < 6; ++i) {
    std::string const n = std::to_string(i), sep = i ? ", " : "";
    instances += sep + R"({"id": "p)" + n + R"(", "display_name": ")" + names[i] + "\"}";
    items += sep + R"({"id": "i)" + n + R"(", "type": "Instance", "display_name": ")" + names[i] +
             R"(", "object": "p)" + n + "\"}";
    tracks += sep + R"({"id": "t)" + n + R"(", "target": {"item": "i)" + n + R"(", "scene": "s"}})";
  }
  WriteFile(dir / "e.json", R"({"instances": [)" + instances +
                                R"(], "scenes": [{"id": "s"}], "selection_items": [)" + items +
                                R"(], "timeline": {"tracks": [)" + tracks + "]}}\n");
  Outcome const r = RunIllhost({(dir / "e.json").string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (char const* raw : {"\u200B", "a\u200Db", "\U000E0041"})
    EXPECT_EQ(r.out.find(raw), std::string::npos) << raw;
  EXPECT_NE(r.out.find("a\\u200bb"), std::string::npos);
  EXPECT_NE(r.out.find("ok\\U000e0041"), std::string::npos);
  // The 40-column cut falls between the two families, never inside one.
  EXPECT_NE(r.out.find(std::string(37, 'w') + family + "…  yes"), std::string::npos) << r.out;
  // `shown name` starts 2 columns after `now` and is as wide as its widest cell (40): the
  // family of families takes 4 columns and is followed by 36 + 2 spaces.
  EXPECT_NE(r.out.find(family + family + std::string(38, ' ') + "yes"), std::string::npos) << r.out;
}

TEST(IllhostShown, ExplainReportsWhatTheModuleDidWhenItsMatchingIsBroken) {
  for (auto const& [module, type] :
       {std::pair{ILLHOST_MODULE_PATH, 1}, std::pair{ILLHOST_NEVER_MATCHES_PATH, 0}}) {
    Outcome const r = RunIllhost({"--module", module, "--json", "--explain", "t-old-ebom"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    nlohmann::json const e = nlohmann::json::parse(r.out);
    EXPECT_EQ(e["steps"][3]["step"], "GetTargetDescription");
    EXPECT_EQ(e["steps"][3]["name_type_after"], type) << module;
    std::string const reason = e["reason"];
    // The stand-in's model says what the stored name equals, whatever the module made of it.
    EXPECT_NE(reason.find("\"bolt.1\" equals the eBOM instance name"), std::string::npos);
    EXPECT_EQ(reason.find("it follows its target") != std::string::npos, type == 1) << reason;
    EXPECT_EQ(reason.find("set the name type to own") != std::string::npos, type == 0) << reason;
  }
}

}  // namespace
}  // namespace illhost_test
