// --save tried as an attacker and an unlucky user would: planted links, devices, modes,
// signals, limits and closed pipes. The file is replaced whole or not at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <poll.h>

#include <cstring>
#include <set>

#include "illhost_process.h"

namespace illhost_test {
namespace {

namespace fs = std::filesystem;

// Saves FILEs (an example by default) to `out`; `inChild` runs before illhost does.
Outcome Save(std::string const& out, std::vector<std::string> files = {Example("center_lines")},
             std::function<void()> inChild = {}) {
  Launch launch;
  launch.args = {"--save", out};
  launch.args.insert(launch.args.end(), files.begin(), files.end());
  launch.out = Stdout::DevNull;
  launch.inChild = std::move(inChild);
  return RunIllhostWith(launch);
}

bool Saved(fs::path const& path) {
  std::string const text = ReadFile(path);
  return text.rfind("{", 0) == 0 && text.find("\"stored\"") != std::string::npos;
}

TEST(IllhostSave, LinkPlantedAtAPredictableTemporaryNameIsNotFollowed) {
  TempDir dir;
  WriteFile(dir / "victim", "precious");
  std::string const out = (dir / "out.json").string(), victim = (dir / "victim").string();
  Outcome const r = Save(out, {Example("center_lines")}, [&] {
    // The names a save once used: OUT.tmp<pid>, and the same with any suffix.
    for (std::string suffix : {".tmp", ".tmp.", "~", ".new"})
      (void)!symlink(victim.c_str(), (out + suffix + std::to_string(getpid())).c_str());
  });
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(dir / "victim"), "precious");
  EXPECT_TRUE(Saved(dir / "out.json"));
  EXPECT_EQ(dir.Entries().size(), 6U);  // out.json, victim and the four planted links
}

TEST(IllhostSave, ExistingPathThatIsNotARegularFileIsRefusedAndLeftAsItIs) {
  struct Row {
    char const* kind;
    mode_t type;
  } const rows[] = {{"a FIFO", S_IFIFO},
                    {"a directory", S_IFDIR},
                    {"a socket", S_IFSOCK},
                    {"a character device", S_IFCHR}};
  for (auto const& row : rows) {
    TempDir dir;
    fs::path const out = dir / "out";
    bool const made = row.type == S_IFDIR ? mkdir(out.c_str(), 0700) == 0
                                          : mknod(out.c_str(), row.type | 0600, makedev(1, 3)) == 0;
    if (!made) {
      std::cout << "[  SKIPPED ] " << row.kind << " cannot be made here (mknod needs root)\n";
      continue;
    }
    Outcome const r = Save(out.string());
    EXPECT_EQ(r.exitCode, 1) << row.kind;
    EXPECT_NE(r.err.find(std::string(row.kind) + ", not a regular file"), std::string::npos)
        << r.err;
    struct stat st {};
    ASSERT_EQ(lstat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & S_IFMT, row.type) << row.kind;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out"}) << row.kind;
  }
  if (geteuid() != 0) GTEST_SKIP() << "the character device case needs root (mknod)";
}

TEST(IllhostSave, PermissionBitsOfTheReplacedFileSurvive) {
  struct Row {
    int existingMode;  // -1: no file yet
    mode_t umask;
    mode_t expected;
  };
  Row const rows[] = {
      {0600, 022, 0600}, {0640, 077, 0640}, {0604, 022, 0604}, {-1, 022, 0644}, {-1, 077, 0600}};
  for (auto const& row : rows) {
    TempDir dir;
    fs::path const out = dir / "out.json";
    if (row.existingMode >= 0) {
      WriteFile(out, "old");
      chmod(out.c_str(), static_cast<mode_t>(row.existingMode));
    }
    Outcome const r = Save(out.string(), {Example("center_lines")}, [&] { umask(row.umask); });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    struct stat st {};
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, row.expected) << std::oct << row.existingMode;
    EXPECT_TRUE(Saved(out));
  }
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
    for (auto const& [name, target] : row.links) fs::create_symlink(target, dir / name);
    Outcome const r = Save((dir / row.out).string());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::set<std::string> expected{"real.json", "sub", fs::path(row.replaced).begin()->string()};
    for (auto const& [name, target] : row.links) {
      EXPECT_TRUE(fs::is_symlink(dir / name)) << name;
      expected.insert(name);
    }
    EXPECT_TRUE(Saved(dir / row.replaced)) << row.replaced;
    auto const entries = dir.Entries();
    EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), expected) << row.out;
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
  for (int const sig : {SIGTERM, SIGINT, SIGHUP}) {
    // A loaded machine may let the save finish before the signal arrives; then try again.
    bool caught = false;
    for (int attempt = 0; attempt < 5 && !caught && !HasFailure(); ++attempt)
      caught = InterruptedSave(dir, sig);
    EXPECT_TRUE(caught) << "signal " << sig << " never arrived during the write";
  }
}

TEST(IllhostSave, WriteErrorRemovesTheTemporaryFileAndSaysWhy) {
  TempDir dir;
  WriteFile(dir / "out.json", "before");
  Outcome const r = Save((dir / "out.json").string(), {Example("center_lines")}, [] {
    rlimit const limit{1024, 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
  });
  EXPECT_EQ(r.exitCode, 1);
  // Only the first line is illhost's: an instrumented build adds its own complaints after it.
  EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
            "illhost: " + (dir / "out.json").string() +
                ": cannot be written: " + std::strerror(EFBIG) + "\n");
  EXPECT_EQ(ReadFile(dir / "out.json"), "before");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"out.json"});
}

}  // namespace
}  // namespace illhost_test
