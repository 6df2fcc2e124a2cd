// illhost's command line as users and attackers type it: help, version, the trace, --explain,
// standard input, mistakes, output that fails, and what the run's surroundings (limits, locale,
// module, folder) do to it.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <regex>
#include <set>

#include "illhost_process.h"
#include "rows.h"

namespace illhost_test {
namespace {

// Runs each call of `table` (see command_line.tsv for its columns); gives back how many.
int RunCalls(char const* table) {
  std::string const center = Example("center_lines");
  std::regex const file("CENTER"), data("DATA");
  return test_rows::ForEachRow(std::string(ILLHOST_TEST_DATA_DIR "/") + table, [&](auto& row) {
    std::string const& input = row.at(4);
    unsigned long const megabytes = input.rfind("@MEMORY=", 0) ? 0 : std::stoul(input.substr(8));
#if defined(__SANITIZE_ADDRESS__)  // whose runtime needs address space, files and /proc of its own
    if (megabytes > 0 || input == "@NOFILES" || input == "@NOPROC")
      return void(std::cout << "[  SKIPPED ] " << input << " under the sanitizers\n");
#endif
    bool const mounts = input == "@NOINODES" || input == "@NOPROC";
    if (mounts && geteuid() != 0)
      return void(std::cout << "[  SKIPPED ] " << row[0] << ": mounting needs root\n");
    // Run where nothing is: no mistake may leave a file named after an option.
    TempDir here;
    std::set<std::string> left;
    std::map<std::string, std::string> copied;  // what each copy was made from
    Launch launch;
    std::istringstream words(test_rows::Unescaped(row.at(0)));
    for (std::string word; words >> word;) {
      // +NAME: a copy of CENTER named NAME.
      bool const copy = word[0] == '+', made = copy || word == "libhere.so" || word == "fifo.so";
      if (copy || word == "libhere.so") {
        copied[word.erase(0, copy)] = copy ? center : ILLHOST_MODULE_PATH;
        std::filesystem::copy_file(copied[word], here / word,
                                   std::filesystem::copy_options::skip_existing);
      }
      // >NAME: a file that the call saves.
      if (made || word[0] == '>') left.insert(word.erase(0, word[0] == '>'));
      if (word == "fifo.so") mkfifo((here / word).c_str(), 0600);
      launch.args.push_back(word == "''"      ? ""
                            : word == "NEVER" ? ILLHOST_NEVER_MATCHES_PATH
                            : word == "BAD"
                                ? ILLHOST_TEST_DATA_DIR "/bad/unknown_key.json"
                                : std::regex_replace(std::regex_replace(word, file, center), data,
                                                     ILLHOST_TEST_DATA_DIR));
    }
    static std::string const big = PartsIllustration(200000);
    launch.input = megabytes > 0 || input == "@HEAD" ? big
                   : input.rfind('@', 0) == 0        ? ReadFile(center)
                                                     : input;
    // Standard output on a full disk, closed, or a pipe closed after its first line.
    launch.out = input == "@FULL"   ? Stdout::DevFull
                 : input == "@SHUT" ? Stdout::Closed
                 : input == "@HEAD" ? Stdout::FirstLineOnly
                                    : Stdout::Pipe;
    launch.inChild = [&] {
      (void)!chdir(here.path().c_str());
      if (input == "@CLOSED") close(STDIN_FILENO);
      if (input.rfind("@LC_ALL=", 0) == 0) setenv("LC_ALL", input.c_str() + 8, 1);
      rlimit const fewFiles{4, 4}, memory{megabytes << 20, megabytes << 20}, kilobyte{1024, 1024};
      if (megabytes > 0) setrlimit(RLIMIT_AS, &memory);
      if (input == "@FSIZE") setrlimit(RLIMIT_FSIZE, &kilobyte);
      // As few open files as the loader needs, one at a time.
      if (input == "@NOFILES" && close_range(3, ~0U, 0) == 0) setrlimit(RLIMIT_NOFILE, &fewFiles);
      if (input == "@GONE") (void)!(mkdir("gone", 0700) || chdir("gone") || rmdir("../gone"));
      // What is mounted is seen by illhost only. The loader, which finds illhost's libraries
      // from its folder, is told that folder when /proc is hidden.
      if (mounts && (unshare(CLONE_NEWNS) || mount({}, "/", {}, MS_REC | MS_PRIVATE, {}))) _exit(9);
      if (input == "@NOINODES")
        (void)!(mount("none", ".", "tmpfs", 0, "nr_inodes=1") || chdir(here.path().c_str()));
      if (input == "@NOPROC" && mount("none", "/proc", "tmpfs", 0, nullptr) == 0)
        setenv("LD_ORIGIN_PATH", std::filesystem::path(Illhost()).parent_path().c_str(), 1);
    };
    Outcome const r = RunIllhostWith(launch);
    auto const entries = here.Entries();
    EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), left) << row[0];
    // A call that fails leaves every copy as it was; a file saved holds the tracks.
    for (auto const& [name, source] : copied)
      EXPECT_TRUE(r.exitCode == 0 || ReadFile(here / name) == ReadFile(source)) << row[0];
    for (auto const& name : left)
      EXPECT_TRUE(copied.count(name) || name == "fifo.so" ||
                  ReadFile(here / name).find("\"stored\"") != std::string::npos)
          << row[0] << ": " << name;
    EXPECT_EQ(r.exitCode, std::stoi(row.at(1))) << row[0] << ": " << r.err;
    EXPECT_TRUE(std::regex_match(r.err, std::regex(row.at(2)))) << row[0] << ":\n" << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex(row.at(3)))) << row[0] << ":\n" << r.out;
  });
}

TEST(IllhostCommandLine, ReadsStandardInputAnswersOrNamesTheMistake) {
  EXPECT_EQ(RunCalls("command_line.tsv"), 51) << "command_line.tsv was not read whole";
}

TEST(IllhostExplain, FirstStepsAndClosingSentenceForEachOutcome) {
  EXPECT_EQ(RunCalls("explain.tsv"), 19) << "explain.tsv was not read whole";
}

TEST(IllhostTrust, NothingRunningIsReplaced) { EXPECT_EQ(RunCalls("trust_running.tsv"), 2); }
TEST(IllhostTrust, MessagesGiveTheSystemsReason) { EXPECT_EQ(RunCalls("trust_errno.tsv"), 4); }
TEST(IllhostTrust, NothingLooksLikeSomethingElse) { EXPECT_EQ(RunCalls("trust_shown.tsv"), 3); }
TEST(IllhostTrust, TerminalTextFollowsTheLocale) { EXPECT_EQ(RunCalls("trust_locale.tsv"), 3); }
TEST(IllhostTrust, ModuleIsCheckedBeforeItIsLoaded) { EXPECT_EQ(RunCalls("trust_module.tsv"), 4); }
TEST(IllhostTrust, MemoryRunsOutInOneLineExitOne) { EXPECT_EQ(RunCalls("trust_memory.tsv"), 5); }

}  // namespace
}  // namespace illhost_test
