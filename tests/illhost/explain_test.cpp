// --explain answers why a track has its name type: the steps, the host calls in each, the
// name type around each, and one closing sentence built from what the module did.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "illhost_process.h"
#include "rows.h"

namespace illhost_test {
namespace {

// explain.tsv: the track, the steps its explanation begins with and a piece of its closing
// sentence.
TEST(IllhostExplain, FirstStepsAndClosingSentenceForEachOutcomeOfTheSample) {
  int const tracks = test_rows::ForEachRow(ILLHOST_TEST_DATA_DIR "/explain.tsv", [](auto& row) {
    Outcome const r = RunIllhost({"--explain", row.at(0)});
    ASSERT_EQ(r.exitCode, 0) << row[0] << ": " << r.err;
    std::istringstream names(row.at(1));
    std::size_t at = 0;
    int number = 0;
    for (std::string step; names >> step;) {
      at = r.out.find(" " + std::to_string(++number) + ". " + step, at);
      EXPECT_NE(at, std::string::npos) << row[0] << ": step " << number << ' ' << step << '\n'
                                       << r.out;
    }
    at = r.out.rfind("\nwhy: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(row.at(2), at), std::string::npos) << row[0] << ":\n" << r.out;
  });
  EXPECT_EQ(tracks, 11) << "explain.tsv was not read whole";
}

// The module's own instance-name matching, and one broken on purpose: the steps and calls are
// what ran, and the sentence claims a match only where the module made one.
TEST(IllhostExplain, JsonReportsTheStepsCallsAndNameTypesTheModuleProduced) {
  for (auto const& [module, type] :
       {std::pair{ILLHOST_MODULE_PATH, 1}, std::pair{ILLHOST_NEVER_MATCHES_PATH, 0}}) {
    Outcome const r = RunIllhost({"--module", module, "--json", "--explain", "t-old-ebom"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    nlohmann::json const e = nlohmann::json::parse(r.out);
    EXPECT_EQ(e["track"], "t-old-ebom");
    std::vector<std::string> steps;
    for (auto const& step : e["steps"]) steps.push_back(step["step"]);
    EXPECT_EQ(steps, (std::vector<std::string>{"create", "SetTrackName", "Load",
                                               "GetTargetDescription", "GetTrackName",
                                               "UsesTargetName", "GetSelectionItem", "Save"}));
    EXPECT_TRUE(e["steps"][0]["name_type_before"].is_null());
    EXPECT_EQ(e["steps"][0]["name_type_after"], 3);
    nlohmann::json const& describe = e["steps"][3];
    EXPECT_EQ(describe["name_type_before"], 3);
    EXPECT_EQ(describe["name_type_after"], type) << module;
    auto const& calls = describe["host_calls"];
    EXPECT_NE(std::find(calls.begin(), calls.end(), "animation::engineutils::GetActInstance"),
              calls.end())
        << calls;
    std::string const reason = e["reason"];
    // The stand-in's model says what the stored name equals, whatever the module made of it.
    EXPECT_NE(reason.find("\"bolt.1\" equals the eBOM instance name"), std::string::npos);
    EXPECT_EQ(reason.find("that follows its target") != std::string::npos, type == 1) << reason;
    EXPECT_EQ(reason.find("set the name type to own") != std::string::npos, type == 0) << reason;
  }
}

}  // namespace
}  // namespace illhost_test
