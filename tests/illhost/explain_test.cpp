// --explain answers why a track has its name type: the steps, the host calls in each, the
// name type around each, and one closing sentence.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "illhost_process.h"

namespace illhost_test {
namespace {

TEST(IllhostExplain, FirstStepsAndClosingSentenceForEachOutcomeOfTheSample) {
  std::ifstream table(ILLHOST_TEST_DATA_DIR "/explain.tsv");
  int tracks = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string track, steps, why;
    std::getline(std::getline(std::getline(fields, track, '\t'), steps, '\t'), why);
    Outcome const r = RunIllhost({"--explain", track});
    ASSERT_EQ(r.exitCode, 0) << track << ": " << r.err;
    std::istringstream names(steps);
    std::size_t at = 0;
    int number = 0;
    for (std::string step; names >> step;) {
      at = r.out.find(" " + std::to_string(++number) + ". " + step, at);
      EXPECT_NE(at, std::string::npos) << track << ": step " << number << ' ' << step << '\n'
                                       << r.out;
    }
    at = r.out.rfind("\nwhy: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(why, at), std::string::npos) << track << ":\n" << r.out;
    ++tracks;
  }
  EXPECT_EQ(tracks, 11) << "explain.tsv was not read whole";
}

TEST(IllhostExplain, JsonListsEachStepWithItsHostCallsAndNameTypes) {
  Outcome const r = RunIllhost({"--json", "--explain", "t-old-ebom"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  nlohmann::json const e = nlohmann::json::parse(r.out);
  EXPECT_EQ(e["track"], "t-old-ebom");
  std::vector<std::string> steps;
  for (auto const& step : e["steps"]) steps.push_back(step["step"]);
  EXPECT_EQ(steps, (std::vector<std::string>{"create", "SetTrackName", "Load",
                                             "GetTargetDescription", "GetTrackName",
                                             "UsesTargetName", "GetSelectionItem", "Save"}));
  nlohmann::json const& create = e["steps"][0];
  EXPECT_TRUE(create["name_type_before"].is_null());
  EXPECT_EQ(create["name_type_after"], 3);
  nlohmann::json const& describe = e["steps"][3];
  EXPECT_EQ(describe["name_type_before"], 3);
  EXPECT_EQ(describe["name_type_after"], 1);
  auto const& calls = describe["host_calls"];
  EXPECT_NE(std::find(calls.begin(), calls.end(), "animation::engineutils::GetActInstance"),
            calls.end())
      << calls;
  EXPECT_NE(e["reason"].get<std::string>().find("eBOM instance name"), std::string::npos);
}

}  // namespace
}  // namespace illhost_test
