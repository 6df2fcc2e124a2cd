// illhost's command line as users type it: help, version, the trace, standard input, mistakes.
#include <gtest/gtest.h>

#include <unistd.h>

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
      // --save needs exactly one FILE: the sample is never saved over a file.
      {{"--save", "out.json"},
       1,
       "illhost: --save needs exactly one FILE \\(see illhost --help\\)\n"},
      {{"--save", "out.json", center, center + "x"},
       1,
       "illhost: --save needs exactly one FILE[^\n]*\n"},
      // A value that begins with '-' is refused, naming the option; a flag takes no value.
      {{"--save", "-", center},
       1,
       "illhost: --save: a value may not begin with '-' \\(got '-'\\)[^\n]*\n"},
      {{"--save", "--json", center}, 1, "illhost: --save: [^\n]*\\(got '--json'\\)[^\n]*\n"},
      {{"--save=-o", center}, 1, "illhost: --save: [^\n]*\\(got '-o'\\)[^\n]*\n"},
      {{"--explain", "--json", center}, 1, "illhost: --explain: [^\n]*\\(got '--json'\\)[^\n]*\n"},
      {{"--module", "-m", center}, 1, "illhost: --module: [^\n]*\\(got '-m'\\)[^\n]*\n"},
      {{"--wide=3"}, 1, "illhost: --wide: takes no value \\(see illhost --help\\)\n"},
      {{"--json=false"}, 1, "illhost: --json: takes no value[^\n]*\n"},
      {{"--help=yes"}, 1, "illhost: --help: takes no value[^\n]*\n"},
      // One rule for every usage error: it wins over -h and -V, wherever it stands.
      {{"--jsno"}, 1, "illhost: unknown option '--jsno' \\(see illhost --help\\)\n"},
      {{"--help", "--jsno"}, 1, "illhost: unknown option '--jsno' \\(see illhost --help\\)\n"},
      {{"--jsno=1", "-h"}, 1, "illhost: unknown option '--jsno' \\(see illhost --help\\)\n"},
      {{"-V", "--jsno"}, 1, "illhost: unknown option '--jsno' \\(see illhost --help\\)\n"},
      {{"-h", "--save", "out.json"}, 1, "illhost: --save needs exactly one FILE[^\n]*\n"},
      {{"--explain"}, 1, "illhost: --explain: needs a value \\(see illhost --help\\)\n"},
      {{"--save", "a.json", "--save", "b.json", center},
       1,
       "illhost: --save: given more than once \\(see illhost --help\\)\n"},
      // --json prints nothing when no FILE could be read, as for one bad file.
      {{"--json", "/no/a.json", "/no/b.json"},
       2,
       "illhost: /no/a.json: [^\n]*\nillhost: /no/b.json: [^\n]*\n"},
      {{center, center}, 1, "illhost: \"[^\n]*center_lines.json\": given more than once[^\n]*\n"},
      {{"--json", "/no/such/file.json"}, 2, "illhost: /no/such/file.json: cannot be read[^\n]*\n"},
      {{"--module", "/no/such/module.so", bad}, 2, "illhost: [^\n]*unknown key \"colour\"\n"},
      {{"--explain", "t-\x1bnone"},
       1,
       R"(illhost: \(built-in sample\): no track has the id "t-\\x1bnone"\n)"},
  };
  for (auto const& row : rows) {
    // Run where nothing is: no mistake may leave a file named after an option.
    TempDir here;
    Launch launch;
    launch.args = row.args;
    launch.input = row.input;
    launch.inChild = [&] { (void)!chdir(here.path().c_str()); };
    Outcome const r = RunIllhostWith(launch);
    std::string const call = ::testing::PrintToString(row.args);
    EXPECT_EQ(here.Entries(), std::vector<std::string>{}) << call;
    EXPECT_EQ(r.exitCode, row.exitCode) << call << ": " << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(row.out))) << call << ":\n" << r.out;
    EXPECT_TRUE(std::regex_match(r.err, std::regex(row.err))) << call << ":\n" << r.err;
  }
}

TEST(IllhostCommandLine, ModuleNameWithoutASlashIsAFileInTheCurrentFolder) {
  TempDir here;
  std::filesystem::copy_file(ILLHOST_MODULE_PATH, here / "libhere.so");
  for (auto const& [module, exitCode] :
       {std::pair{"libhere.so", 0}, std::pair{"libutf8proc.so.2", 3}, std::pair{"libc.so.6", 3}}) {
    Launch launch;
    launch.args = {"--module", module, "--json", Example("center_lines")};
    launch.inChild = [&] { (void)!chdir(here.path().c_str()); };
    Outcome const r = RunIllhostWith(launch);
    EXPECT_EQ(r.exitCode, exitCode) << module << ": " << r.err;
    if (exitCode != 0) {
      EXPECT_EQ(r.err.rfind(std::string("illhost: cannot load module ./") + module + ":", 0), 0U)
          << r.err;
    }
  }
}

}  // namespace
}  // namespace illhost_test
