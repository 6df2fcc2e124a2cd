// --explain answers why a track has its name type: the steps, the host calls in each, the
// name type around each, and one closing sentence.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "illhost_process.h"

namespace illhost_test {
namespace {

TEST(IllhostExplain, ClosingSentenceSaysWhyForEachOutcomeOfTheSample) {
  struct Row {
    char const* track;
    char const* why;
  };
  Row const rows[] = {
      {"t-bolt",
       "a new track on the part \"Bolt M8\" takes the target's name: it follows its target."},
      {"t-old-file", "the stored name \"Bolt M8\" equals the target's display name: it follows"},
      {"t-old-ebom",
       "the stored name \"bolt.1\" equals the eBOM instance name of the SBOM instance behind the "
       "part: it follows its target."},
      {"t-old-own", "the stored name \"Frame of the cart\" matches no name of the assembly"},
      {"t-renamed",
       "the user renamed the track to \"My bolt\" (a rename with an operation): it is "
       "the track's own name."},
      {"t-quiet",
       "came without an operation, so it did not make the name the track's own: it "
       "follows its target."},
      {"t-note",
       "only centre lines and callout labels have names to follow: it stays the "
       "target's default name."},
      {"t-list", "\"Collection\" item cannot be followed: it stays the target's default name."},
      {"t-empty", "a track without a target has no name to follow"},
      {"t-old-callout",
       "the SBOM instance that the callout is attached to cannot be found: it "
       "stays unresolved"},
  };
  for (auto const& row : rows) {
    Outcome const r = RunIllhost({"--explain", row.track});
    ASSERT_EQ(r.exitCode, 0) << row.track << ": " << r.err;
    std::size_t const why = r.out.rfind("\nwhy: ");
    ASSERT_NE(why, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(row.why, why), std::string::npos) << row.track << ":\n" << r.out;
  }
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

TEST(IllhostExplain, StepsOfANewTrackAndOfARenamedOne) {
  struct Row {
    char const* track;
    std::vector<char const*> firstSteps;
  };
  Row const rows[] = {
      {"t-bolt", {"create", "InitDisplayName", "GetTargetDescription"}},
      {"t-renamed", {"create", "InitDisplayName", "rename", "GetTargetDescription"}},
      {"t-locked", {"create", "InitDisplayName", "refresh", "GetTargetDescription"}},
  };
  for (auto const& row : rows) {
    Outcome const r = RunIllhost({"--explain", row.track});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::size_t at = 0;
    for (std::size_t i = 0; i < row.firstSteps.size(); ++i) {
      std::string const line = " " + std::to_string(i + 1) + ". " + row.firstSteps[i];
      at = r.out.find(line, at);
      EXPECT_NE(at, std::string::npos) << row.track << ": " << line << "\n" << r.out;
    }
  }
}

}  // namespace
}  // namespace illhost_test
