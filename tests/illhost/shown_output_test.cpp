// What people read is escaped and cut; what tools read is data.
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

}  // namespace
}  // namespace illhost_test
