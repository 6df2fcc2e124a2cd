// illhost's command line as users type it: help, version, the trace, standard input, mistakes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <regex>

#include "illhost_process.h"
#include "rows.h"

namespace illhost_test {
namespace {

TEST(IllhostCommandLine, ReadsStandardInputAnswersOrNamesTheMistake) {
  std::string const center = Example("center_lines");
  std::regex const file("CENTER");
  int const rows = test_rows::ForEachRow(ILLHOST_TEST_DATA_DIR "/command_line.tsv", [&](auto& row) {
    // Run where nothing is: no mistake may leave a file named after an option.
    TempDir here;
    std::vector<std::string> left;
    if (row[0].find("libhere.so") != std::string::npos) {
      std::filesystem::copy_file(ILLHOST_MODULE_PATH, here / "libhere.so");
      left.push_back("libhere.so");
    }
    Launch launch;
    std::istringstream words(test_rows::Unescaped(row.at(0)));
    for (std::string word; words >> word;)
      launch.args.push_back(word == "''"    ? ""
                            : word == "BAD" ? ILLHOST_TEST_DATA_DIR "/bad/unknown_key.json"
                                            : std::regex_replace(word, file, center));
    launch.input = row.at(4) == "@CENTER" ? ReadFile(center) : row.at(4);
    launch.inChild = [&] {
      (void)!chdir(here.path().c_str());
      if (row[4] == "@CLOSED") close(STDIN_FILENO);
    };
    Outcome const r = RunIllhostWith(launch);
    EXPECT_EQ(here.Entries(), left) << row[0];
    EXPECT_EQ(r.exitCode, std::stoi(row.at(1))) << row[0] << ": " << r.err;
    EXPECT_TRUE(std::regex_match(r.err, std::regex(row.at(2)))) << row[0] << ":\n" << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(row.at(3)))) << row[0] << ":\n" << r.out;
  });
  EXPECT_EQ(rows, 40) << "command_line.tsv was not read whole";
}

}  // namespace
}  // namespace illhost_test
