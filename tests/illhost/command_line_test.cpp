// illhost's command line as users type it: help, version, the trace, standard input, mistakes.
#include <gtest/gtest.h>

#include <regex>

#include "illhost_process.h"

namespace illhost_test {
namespace {

struct CommandRow {
  std::vector<std::string> args;
  int exitCode;
  char const* err;         // a regular expression that standard error must match whole
  char const* out = "^$";  // a regular expression that standard output must contain
  std::string input = {};  // standard input
};

TEST(IllhostCommandLine, ReadsStandardInputAnswersOrNamesTheMistake) {
  std::string const center = Example("center_lines"), centerText = ReadFile(center);
  // A bad file is read before the module is loaded: its one line, not the module's.
  std::string const bad = ILLHOST_TEST_DATA_DIR "/bad/unknown_key.json";
  CommandRow const rows[] = {
      {{}, 0, "", "t-bolt"},
      {{"--json", "-"}, 0, "", "\"id\": \"t1\"", centerText},
      {{"--json", "--", "-"}, 0, "", "\"id\": \"t1\"", centerText},
      {{"--json"}, 0, "", "\"id\": \"t-bolt\"", "not an illustration"},  // no file: the sample
      {{"--trace"},
       0,
       "\\[illanimation/plugin\\] Create ornatix animation initializer\n",
       "t-bolt"},
      {{"-h"}, 0, "", "Usage: illhost[^]*own +0[^]*unresolved +3[^]*exit status"},
      {{"--help"}, 0, "", "--explain TRACK"},
      {{"-V"}, 0, "", "^illhost [0-9]+\\.[0-9]+\\.[0-9]+\nmodule: /"},
      {{"--version", "--module", "/x/y.so"}, 0, "", "module: /x/y\\.so\n"},
      {{"--frob"}, 1, "illhost: [^\n]*--frob[^\n]*\n"},
      {{center, "--save"}, 1, "illhost: [^\n]*--save[^\n]*\n"},
      {{"--explain"}, 1, "illhost: [^\n]*--explain[^\n]*\n"},
      {{"--save", ""}, 1, "illhost: --save: the path is empty[^\n]*\n"},
      {{"--module", ""}, 1, "illhost: --module: the path is empty[^\n]*\n"},
      {{"--save", "/tmp/never-written.json", center, center + "x"},
       1,
       "illhost: --save takes one FILE only[^\n]*\n"},
      {{center, center}, 1, "illhost: \"[^\n]*center_lines.json\": given more than once[^\n]*\n"},
      {{"--json", "/no/such/file.json"}, 2, "illhost: /no/such/file.json: cannot be read[^\n]*\n"},
      {{"--module", "/no/such/module.so", bad}, 2, "illhost: [^\n]*unknown key \"colour\"\n"},
      {{"--explain", "t-\x1bnone"},
       1,
       R"(illhost: \(built-in sample\): no track has the id "t-\\x1bnone"\n)"},
  };
  for (auto const& row : rows) {
    Launch launch;
    launch.args = row.args;
    launch.input = row.input;
    Outcome const r = RunIllhostWith(launch);
    std::string const call = ::testing::PrintToString(row.args);
    EXPECT_EQ(r.exitCode, row.exitCode) << call << ": " << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(row.out))) << call << ":\n" << r.out;
    EXPECT_TRUE(std::regex_match(r.err, std::regex(row.err))) << call << ":\n" << r.err;
  }
}

}  // namespace
}  // namespace illhost_test
