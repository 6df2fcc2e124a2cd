#include "atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <optional>
#include <ostream>

#include "fd_stream.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr std::array<int, 3> kCleanupSignals = {SIGINT, SIGTERM, SIGHUP};
constexpr int kMaxLinkHops = 40;
constexpr std::size_t kMaxBaseInName = 200;

// The temporary file that a signal handler removes; written only with the signals blocked.
char g_temporary[PATH_MAX + 1];
volatile sig_atomic_t g_armed = 0;

extern "C" void RemoveTemporaryAndDie(int signal) {
  RemovePendingTemporaryFile();
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
  raise(signal);  // delivered with the default action once this handler returns
}

[[noreturn]] void Fail(std::string const& path, char const* what, int error) {
  throw SaveError(EscapeControls(path) + ": " + what + ": " + std::strerror(error));
}

char const* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

std::string FolderOf(std::string const& path) {
  std::size_t const slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that `path` finally names once its symbolic links are followed, whether it exists.
std::string FollowLinks(std::string const& given) {
  std::string path = given;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return path;
      Fail(given, "cannot be written", errno);
    }
    if (!S_ISLNK(st.st_mode)) return path;
    std::array<char, PATH_MAX> target{};
    ssize_t const length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0) Fail(given, "cannot be written", errno);
    if (static_cast<std::size_t>(length) >= target.size())
      Fail(given, "cannot be written", ENAMETOOLONG);
    std::string next(target.data(), static_cast<std::size_t>(length));
    if (next.front() != '/') next.insert(0, FolderOf(path) + "/");
    path = std::move(next);
  }
  Fail(given, "cannot be written", ELOOP);
}

// Blocks the cleanup signals for its lifetime, so that the handler never sees a half-set path.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kCleanupSignals) sigaddset(&set, s);
    sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsBlocked(SignalsBlocked const&) = delete;
  SignalsBlocked& operator=(SignalsBlocked const&) = delete;

 private:
  sigset_t previous_{};
};

// The temporary file: created exclusively under an unpredictable name, removed unless it was
// renamed into place, including by the signals that end the process.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string const& target, std::string const& given) {
    // The file's own name, shortened so that the temporary name stays within NAME_MAX.
    std::string const base = target.substr(target.rfind('/') + 1).substr(0, kMaxBaseInName);
    std::string name = FolderOf(target) + "/." + base + ".XXXXXX";
    if (name.size() > PATH_MAX) Fail(given, "cannot be written", ENAMETOOLONG);
    SignalsBlocked const blocked;
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) Fail(given, "cannot be written", errno);
    path_ = name;
    std::memcpy(g_temporary, name.c_str(), name.size() + 1);
    g_armed = 1;
    for (std::size_t i = 0; i < kCleanupSignals.size(); ++i) {
      struct sigaction handler {};
      handler.sa_handler = RemoveTemporaryAndDie;
      sigemptyset(&handler.sa_mask);
      sigaction(kCleanupSignals[i], &handler, &previous_[i]);
      // A signal that the process was started ignoring stays ignored.
      if (previous_[i].sa_handler == SIG_IGN) sigaction(kCleanupSignals[i], &previous_[i], nullptr);
    }
  }
  ~TemporaryFile() {
    SignalsBlocked const blocked;
    if (fd_ >= 0) close(fd_);
    if (!renamed_) unlink(path_.c_str());
    g_armed = 0;
    for (std::size_t i = 0; i < kCleanupSignals.size(); ++i)
      sigaction(kCleanupSignals[i], &previous_[i], nullptr);
  }
  TemporaryFile(TemporaryFile const&) = delete;
  TemporaryFile& operator=(TemporaryFile const&) = delete;

  int fd() const { return fd_; }
  std::string const& path() const { return path_; }
  int Close() {
    int const result = close(fd_);
    fd_ = -1;
    return result;
  }
  void MarkRenamed() { renamed_ = true; }

 private:
  int fd_ = -1;
  std::string path_;
  bool renamed_ = false;
  std::array<struct sigaction, kCleanupSignals.size()> previous_{};
};

mode_t NewFileMode() {
  mode_t const mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

void SyncFolder(std::string const& folder) {
  int const fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);  // some file systems cannot sync a folder; the rename itself has been done
  close(fd);
}

// Whether the file exists; refuses one that exists and is not a regular file.
bool ExistingRegularFile(std::string const& path, std::string const& target, struct stat& st) {
  if (stat(target.c_str(), &st) != 0) return false;
  if (!S_ISREG(st.st_mode))
    throw SaveError(EscapeControls(path) + ": " + KindOf(st.st_mode) +
                    ", not a regular file: left as it is");
  // Replacing goes through the folder, which would pass over a file its owner made read-only.
  if (access(target.c_str(), W_OK) != 0) Fail(path, "cannot be written", errno);
  return true;
}

}  // namespace

void RemovePendingTemporaryFile() {
  if (g_armed) unlink(g_temporary);
}

void CheckSaveTarget(std::string const& path) {
  std::string const target = FollowLinks(path);
  struct stat existing {};
  ExistingRegularFile(path, target, existing);
  // The temporary file is made in the folder: it must exist and take new files.
  if (access(FolderOf(target).c_str(), W_OK | X_OK) != 0) Fail(path, "cannot be written", errno);
}

void SaveAtomically(std::string const& path, std::function<void(std::ostream&)> const& write) {
  std::string const target = FollowLinks(path);
  struct stat existing {};
  bool const exists = ExistingRegularFile(path, target, existing);

  TemporaryFile temporary(target, path);
  if (exists) {
    // Only a privileged process may give the file back to its owner; others keep their own.
    if (existing.st_uid != geteuid() || existing.st_gid != getegid())
      (void)!fchown(temporary.fd(), existing.st_uid, existing.st_gid);
  }
  if (fchmod(temporary.fd(), exists ? existing.st_mode & 07777 : NewFileMode()) != 0)
    Fail(path, "cannot be written", errno);

  {
    FdStreamBuf buffer(temporary.fd());
    std::ostream out(&buffer);
    write(out);
    if (!buffer.Flush()) Fail(path, "cannot be written", buffer.Error());
    if (!out) Fail(path, "cannot be written", EIO);
  }
  if (fsync(temporary.fd()) != 0) Fail(path, "cannot be written", errno);
  if (temporary.Close() != 0) Fail(path, "cannot be written", errno);
  if (rename(temporary.path().c_str(), target.c_str()) != 0) Fail(path, "cannot be written", errno);
  temporary.MarkRenamed();
  SyncFolder(FolderOf(target));
}

}  // namespace illhost
