// --save tried as an attacker and an unlucky user would: planted links, devices, modes,
// signals, limits and closed pipes. The file is replaced whole or not at all.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <poll.h>

#include <regex>
#include <set>

#include "illhost_process.h"
#include "rows.h"

namespace illhost_test {
namespace {

namespace fs = std::filesystem;

bool Saved(fs::path const& path) {
  std::string const text = ReadFile(path);
  return text.rfind("{", 0) == 0 && text.find("\"stored\"") != std::string::npos;
}

TEST(IllhostSave, LinksStayLinksTheirTargetIsReplacedAndNothingElseIsLeft) {
  std::string const longest(255, 'n');  // the longest name a folder entry may have
  struct Row {
    std::vector<std::pair<char const*, char const*>> links;  // name -> target, made in order
    std::string out, replaced;
  } const rows[] = {
      {{{"link", "real.json"}}, "link", "real.json"},
      {{{"link", "new.json"}}, "link", "new.json"},  // dangling: the target is made
      {{{"first", "second"}, {"second", "sub/real.json"}}, "first", "sub/real.json"},
      {{}, longest, longest},
  };
  for (auto const& row : rows) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    WriteFile(dir / "real.json", "old");
    WriteFile(dir / "sub/real.json", "old");
    WriteFile(dir / "victim", "precious");
    for (auto const& [name, target] : row.links) fs::create_symlink(target, dir / name);
    std::string const out = (dir / row.out).string();
    Launch launch;
    launch.args = {"--save", out, Example("center_lines")};
    launch.out = Stdout::DevNull;
    launch.inChild = [&] {
      // Links to "victim" planted at the names a save once used: OUT.tmp<pid>, and the same
      // with any suffix. They are neither followed nor removed.
      for (std::string suffix : {".tmp", ".tmp.", "~", ".new"})
        (void)!symlink("victim", (out + suffix + std::to_string(getpid())).c_str());
    };
    Outcome const r = RunIllhostWith(launch);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "victim"), "precious");
    std::set<std::string> expected{"real.json", "sub", "victim",
                                   fs::path(row.replaced).begin()->string()};
    for (auto const& [name, target] : row.links) {
      EXPECT_TRUE(fs::is_symlink(dir / name)) << name;
      expected.insert(name);
    }
    EXPECT_TRUE(Saved(dir / row.replaced)) << row.replaced;
    std::set<std::string> entries;
    for (auto const& name : dir.Entries())
      if (!fs::is_symlink(dir / name) || fs::read_symlink(dir / name) != "victim")
        entries.insert(name);
    EXPECT_EQ(entries, expected) << row.out;
  }
}

// Waits until a file whose name starts with `prefix` is created in the watched folder.
bool AwaitCreation(int inotify, std::string const& prefix) {
  alignas(inotify_event) char buffer[4096];
  pollfd fd{inotify, POLLIN, 0};
  while (poll(&fd, 1, 120000) > 0) {
    ssize_t const n = read(inotify, buffer, sizeof buffer);
    for (ssize_t at = 0; at < n;) {
      auto const* event = reinterpret_cast<inotify_event const*>(buffer + at);
      if (event->len > 0 && std::string(event->name).rfind(prefix, 0) == 0) return true;
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  return false;
}

// Runs a save of `big.json` to `out.json` in `dir` and sends `sig` as soon as the temporary
// file appears. True when the signal landed while the file was being written.
bool InterruptedSave(TempDir const& dir, int sig) {
  WriteFile(dir / "out.json", "before");
  int const inotify = inotify_init1(IN_CLOEXEC);
  EXPECT_GE(inotify_add_watch(inotify, dir.path().c_str(), IN_CREATE), 0);
  Launch launch;
  launch.args = {"--save", (dir / "out.json").string(), (dir / "big.json").string()};
  launch.out = Stdout::DevNull;
  launch.inChild = [] {
    rlimit const noCore{0, 0};  // SIGQUIT and SIGXCPU would dump one
    setrlimit(RLIMIT_CORE, &noCore);
  };
  bool seen = false;
  launch.whileRunning = [&](pid_t pid) {
    seen = AwaitCreation(inotify, ".out.json");
    kill(pid, sig);
  };
  Outcome const r = RunIllhostWith(launch);
  close(inotify);
  EXPECT_TRUE(seen) << "no temporary file was created";
  // Whenever the signal lands, no temporary file is left and OUT is the old file or the new.
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"big.json", "out.json"}));
  std::string const out = ReadFile(dir / "out.json");
  bool const untouched = out == "before";
  EXPECT_TRUE(untouched || Saved(dir / "out.json")) << out.substr(0, 80);
  if (untouched) {
    EXPECT_EQ(r.signal, sig) << "exit " << r.exitCode << ": " << r.err;
  }
  return untouched;
}

TEST(IllhostSave, SignalDuringTheWriteLeavesTheFileAsItWasAndNoTemporaryFile) {
  TempDir dir;
  WriteFile(dir / "big.json", PartsIllustration(20000));
  for (int const sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM,
                        SIGPROF, SIGXCPU, SIGRTMIN + 1}) {
    // A loaded machine may let the save finish before the signal arrives; then try again.
    bool caught = false;
    for (int attempt = 0; attempt < 5 && !caught && !HasFailure(); ++attempt)
      caught = InterruptedSave(dir, sig);
    EXPECT_TRUE(caught) << "signal " << sig << " never arrived during the write";
  }
}

constexpr uid_t kOther = 4243;   // a user who is not the one running the tests
constexpr gid_t kShared = 4242;  // a group that user may belong to

// The user or group a case names.
unsigned Id(std::string const& name) {
  if (name == "me") return geteuid();
  if (name == "mine") return getegid();
  if (name == "other") return kOther;
  if (name == "shared") return kShared;
  EXPECT_EQ(name, "root");
  return 0;
}

mode_t Octal(std::string const& cell) { return static_cast<mode_t>(std::stoul(cell, nullptr, 8)); }

int ForEachCase(char const* table, std::function<void(test_rows::Row const&)> const& each) {
  return test_rows::ForEachRow(std::string(ILLHOST_TEST_DATA_DIR "/") + table, each);
}

// Runs a save of the example to `out` as `user`, in the group `kShared` when `member`.
Outcome SaveAs(uid_t user, bool member, fs::path const& out, mode_t mask = 022,
               std::string const& tree = {}) {  // where illhost is installed, if it is
  Launch launch;
  if (!tree.empty()) launch.program = tree + "/bin/illhost";
  launch.args = {"--save", out.string(),
                 tree.empty() ? Example("center_lines")
                              : tree + "/share/illanimation/examples/center_lines.json"};
  launch.out = Stdout::DevNull;
  launch.inChild = [mask] { umask(mask); };
  if (user != geteuid()) {
    std::string const id = std::to_string(user);
    launch.runAs = {"setpriv", "--reuid=" + id, "--regid=" + id,
                    member ? "--groups=" + std::to_string(kShared) : "--clear-groups"};
  }
  return RunIllhostWith(launch);
}

TEST(IllhostSave, LinkOrFileInAStickyFolderIsUsedOnlyWhereTheKernelWouldUseIt) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root, to give links and folders to another user";
  int const cases = ForEachCase("save_sticky.tsv", [](test_rows::Row const& row) {
    std::string const &link = row.at(3), &out = row.at(4);
    TempDir dir;
    fs::create_directory(dir / "shared");
    fs::create_directory(dir / "sub");
    WriteFile(dir / "victim", "precious");
    chmod((dir / "victim").c_str(), 0600);
    ASSERT_EQ(chown((dir / "shared").c_str(), Id(row.at(1)), 0), 0);
    ASSERT_EQ(chmod((dir / "shared").c_str(), Octal(row.at(0))), 0);
    if (link == "file")  // a file that another user may have made there in advance
      WriteFile(dir / "shared/link", "theirs"), chmod((dir / "shared/link").c_str(), 0666);
    else
      fs::create_symlink(link, dir / "shared/link");
    ASSERT_EQ(lchown((dir / "shared/link").c_str(), Id(row.at(2)), Id(row.at(2))), 0);
    Outcome const r = SaveAs(0, false, dir / "shared" / out);
    std::string const what = out + " -> " + link;
    fs::path const reached = link == "file"
                                 ? dir / "shared/link"
                                 : dir / (link.substr(3) + (out == "link" ? "" : "/out.json"));
    if (row.at(5) == "yes") {
      EXPECT_EQ(r.exitCode, 0) << what << ": " << r.err;
      EXPECT_TRUE(Saved(reached)) << what;
    } else {
      EXPECT_EQ(r.exitCode, 1) << what;
      EXPECT_NE(r.err.find(" \"link\" is in a sticky folder"), std::string::npos) << r.err;
      EXPECT_FALSE(Saved(reached) || Saved(dir / "victim")) << what;
      EXPECT_FALSE(fs::exists(dir / "nowhere") || fs::exists(dir / "sub/out.json")) << what;
    }
  });
  EXPECT_EQ(cases, 11) << "save_sticky.tsv was not read whole";
}

// OUT that is not a regular file, or leads to illhost's own standard stream or to no file in a
// folder, however it is named: refused before anything runs, and left as it is.
TEST(IllhostSave, OutThatIsNoRegularFileOrAStandardStreamIsRefusedBeforeAnythingRuns) {
  int const cases = ForEachCase("save_refused.tsv", [](test_rows::Row const& row) {
    std::string const &out = row.at(0), &kind = row.at(2), &why = row.at(3);
    int const replaced = std::stoi(row.at(1));
    TempDir dir;
    WriteFile(dir / "o.txt", "before\n");
    fs::create_symlink("/dev/stdout", dir / "to-stdout");
    std::vector<std::string> entries{"o.txt", "to-stdout"};
    fs::path const node = dir / "out";
    mode_t const type = kind == "FIFO"          ? S_IFIFO
                        : kind == "folder"      ? S_IFDIR
                        : kind == "socket node" ? S_IFSOCK
                                                : S_IFCHR;
    if (out == "out") {
      if ((type == S_IFDIR ? mkdir(node.c_str(), 0700)
                           : mknod(node.c_str(), type | 0600, makedev(1, 3))) != 0) {
        std::cout << "[  SKIPPED ] " << kind << " cannot be made here (mknod needs root)\n";
        return;
      }
      entries.insert(entries.begin() + 1, "out");
    }
    Launch launch;
    launch.args = {"--save", out, Example("center_lines")};
    launch.inChild = [&] {
      (void)!chdir(dir.path().c_str());
      int fd = -1;
      if (kind == "file") fd = open("o.txt", replaced == 0 ? O_RDONLY : O_WRONLY | O_APPEND);
      if (kind == "unnamed") fd = open(".", O_TMPFILE | O_RDWR, 0600);
      int pair[2];
      if (kind == "socket" && socketpair(AF_UNIX, SOCK_STREAM, 0, pair) == 0) fd = pair[0];
      if (fd >= 0) dup2(fd, replaced);
    };
    Outcome const r = RunIllhostWith(launch);
    std::string const said = r.err + ReadFile(dir / "o.txt");
    EXPECT_EQ(r.exitCode, 1) << out;
    EXPECT_NE(said.find("illhost: " + out + ": " + why + ": left as it is\n"), std::string::npos)
        << out << ": " << said;
    EXPECT_EQ(r.out, "") << out;
    EXPECT_EQ(ReadFile(dir / "o.txt").rfind("before\n", 0), 0U) << out;
    EXPECT_EQ(dir.Entries(), entries) << out;
    struct stat st {};
    if (out == "out") {
      EXPECT_EQ(lstat(node.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0, type) << kind;
    }
  });
  EXPECT_EQ(cases, 14) << "save_refused.tsv was not read whole";
}

// Mode, owner and group of the file replaced are kept each on its own, a new file gets the
// mode the umask allows, and what is lost or left behind is said.
TEST(IllhostSave, OwnerGroupAndModeAreKeptEachOnItsOwnAndWhatIsLostIsSaid) {
  bool const root = geteuid() == 0;
  // Another user may not reach the build tree (a clone in a folder only root may enter): what
  // they run is installed first where anyone may read it.
  TempDir prefix;
  chmod(prefix.path().c_str(), 0755);
  if (root && std::system((CMAKE_COMMAND " --install " ILLHOST_BUILD_DIR " --prefix " +
                           prefix.path().string() + " >/dev/null")
                              .c_str()) != 0)
    GTEST_SKIP() << "illhost could not be installed where another user may run it";
  int const cases = ForEachCase("save_owner.tsv", [&](test_rows::Row const& row) {
    uid_t const owner = Id(row.at(2)), runner = Id(row.at(4));
    gid_t const group = Id(row.at(3));
    if (!root && (owner != geteuid() || runner != geteuid() || group != getegid())) {
      std::cout << "[  SKIPPED ] saving as another user needs root (setpriv)\n";
      return;
    }
    bool const hardLinked = row.at(9) == "yes";
    TempDir dir;
    chmod(dir.path().c_str(), 0777);
    fs::path const out = dir / "out.json";
    if (row.at(0) != "none") {
      WriteFile(out, "old");
      ASSERT_EQ(chown(out.c_str(), owner, group), 0);
      ASSERT_EQ(chmod(out.c_str(), Octal(row.at(0))), 0);
    }
    if (hardLinked) fs::create_hard_link(out, dir / "other.json");
    Outcome const r = SaveAs(runner, row.at(5) == "yes", out, Octal(row.at(1)),
                             root ? prefix.path().string() : "");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, Octal(row.at(6))) << row.at(0);
    EXPECT_EQ(st.st_uid, Id(row.at(7)));
    EXPECT_EQ(st.st_gid, Id(row.at(8)));
    EXPECT_TRUE(Saved(out));
    EXPECT_TRUE(!hardLinked || ReadFile(dir / "other.json") == "old");
    std::string expected;
    std::istringstream warnings(row.at(10));
    for (std::string w; std::getline(warnings, w, '|');)
      expected += "illhost: warning: " + out.string() + ": " + w;
    EXPECT_EQ(std::regex_replace(r.err, std::regex(" could not be kept[^\n]*\n|\n"), ""), expected)
        << r.err;
  });
  EXPECT_EQ(cases, 9) << "save_owner.tsv was not read whole";
  if (!root) GTEST_SKIP() << "the rows that save as another user need root (setpriv)";
}

TEST(IllhostSave, FileIsSavedBeforeAnyOutputIsRead) {
  TempDir dir;
  WriteFile(dir / "big.json", PartsIllustration(5000));  // a table far larger than a pipe holds
  Launch launch;
  launch.args = {"--save", (dir / "out.json").string(), (dir / "big.json").string()};
  bool savedFirst = false;
  launch.whileRunning = [&](pid_t) {
    for (int waited = 0; waited < 6000 && !savedFirst; ++waited) {
      savedFirst = fs::exists(dir / "out.json") && Saved(dir / "out.json");
      if (!savedFirst) usleep(10000);
    }
  };
  Outcome const r = RunIllhostWith(launch);
  EXPECT_TRUE(savedFirst) << "the file was not saved while the output waited to be read";
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_GT(r.out.size(), 65536U);
}

}  // namespace
}  // namespace illhost_test
