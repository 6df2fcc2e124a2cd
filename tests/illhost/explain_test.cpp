// --explain answers why a track has its name type: the steps, the host calls in each, the
// name type around each, and one closing sentence built from what the module did.
#include <gtest/gtest.h>

#include "illhost_process.h"
#include "rows.h"

namespace illhost_test {
namespace {

// explain.tsv: the track, the steps its explanation begins with, a piece of its closing
// sentence, and the file when not the sample, and text the steps show.
TEST(IllhostExplain, FirstStepsAndClosingSentenceForEachOutcome) {
  int const tracks = test_rows::ForEachRow(ILLHOST_TEST_DATA_DIR "/explain.tsv", [](auto& row) {
    std::vector<std::string> args{"--explain", row.at(0)};
    if (row.size() > 3) args.push_back(ILLHOST_TEST_DATA_DIR "/" + row[3]);
    Outcome const r = RunIllhost(args);
    EXPECT_NE(r.out.find(row.size() > 4 ? row[4] : ""), std::string::npos) << r.out;
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
  EXPECT_EQ(tracks, 19) << "explain.tsv was not read whole";
}

}  // namespace
}  // namespace illhost_test
