#include "atomic_save.h"

#include <acl/libacl.h>
#include <attr/error_context.h>
#include <attr/libattr.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <utility>
#include <vector>

#include "fd_stream.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr std::size_t kMaxBaseInName = 200;

// The temporary file that a signal handler removes; written only with every signal blocked.
int g_folder = -1;
char g_temporary[NAME_MAX + 1];
volatile sig_atomic_t g_armed = 0;

extern "C" void RemoveTemporaryAndDie(int s) {
  RemovePendingTemporaryFile();
  signal(s, SIG_DFL);
  raise(s);  // delivered with the default action once this handler returns
}

[[noreturn]] void Fail(std::string const& path, int error) {
  throw SaveError(EscapeControls(path) + ": cannot be written: " + std::strerror(error));
}
[[noreturn]] void Refuse(std::string const& path, std::string const& why) {
  throw SaveError(EscapeControls(path) + ": " + why + ": left as it is");
}

struct Target {
  Fd folder;
  std::string name;
  std::optional<struct stat> existing;
};

// Pushes the names of `path` on `names` so that the first comes off the back first.
void PushNames(std::string const& path, std::vector<std::string>& names) {
  std::size_t const first = names.size();
  std::istringstream in(path);
  for (std::string part; std::getline(in, part, '/');)
    if (!part.empty() && part != ".") names.push_back(part);
  std::reverse(names.begin() + static_cast<std::ptrdiff_t>(first), names.end());
}

Fd OpenFolder(int at, char const* name, std::string const& given) {
  Fd folder(openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (folder.get() < 0) Fail(given, errno);
  return folder;
}

// The kernel's rule for sticky folders that others may write, whatever the machine sets it to.
void RefuseProtected(int folder, std::string const& name, uid_t owner, std::string const& given,
                     bool link) {
  struct stat in {};
  if (fstat(folder, &in) != 0) Fail(given, errno);
  bool const sticky = (in.st_mode & S_ISVTX) != 0;
  if (sticky && (in.st_mode & S_IWOTH) && owner != geteuid() && owner != in.st_uid)
    Refuse(given, (link ? "the link " : "the file ") + QuoteInput(name) +
                      " is in a sticky folder that others may write and belongs to neither you "
                      "nor the folder's owner, so it is not " +
                      (link ? "followed" : "replaced"));
  // Nor may anyone but root replace a file there that belongs to neither them nor the folder.
  if (sticky && !link && geteuid() != 0 && geteuid() != owner && geteuid() != in.st_uid)
    Fail(given, EPERM);
}
// Whether `file` is illhost's program, mapped into the process, or the module about to be loaded.
bool Running(struct stat const& file, std::string const& module, std::string const& given) {
  std::vector<std::string> paths{"/proc/self/exe", module};
  std::ifstream maps("/proc/self/maps");
  if (!maps.is_open() && errno != ENOENT) Fail(given, errno);  // no /proc: only the module
  for (std::string line; std::getline(maps, line);) {
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(line.c_str(), "%*s %*s %*s %x:%x %llu", &major, &minor, &inode) == 3 &&
        inode == file.st_ino && makedev(major, minor) == file.st_dev)
      return true;
    if (line.find('/') != std::string::npos) paths.push_back(line.substr(line.find('/')));
  }
  struct stat st {};
  return std::any_of(paths.begin(), paths.end(), [&](std::string const& path) {
    return !path.empty() && stat(path.c_str(), &st) == 0 && st.st_dev == file.st_dev &&
           st.st_ino == file.st_ino;
  });
}

// Walks `given` one name at a time, so that each link is checked before it is followed.
Target Resolve(std::string const& given) {
  std::vector<std::string> names;
  PushNames(given, names);
  Fd folder = OpenFolder(AT_FDCWD, given.front() == '/' ? "/" : ".", given);
  for (int hops = 0; !names.empty();) {
    std::string const name = std::move(names.back());
    names.pop_back();
    struct stat st {};
    if (fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno == ENOENT && names.empty()) return {std::move(folder), name, std::nullopt};
      Fail(given, errno);
    }
    if (S_ISLNK(st.st_mode)) {
      if (++hops > kMaxLinkHops) Fail(given, ELOOP);
      RefuseProtected(folder.get(), name, st.st_uid, given, true);
      std::array<char, PATH_MAX> link{};
      ssize_t const length = readlinkat(folder.get(), name.c_str(), link.data(), link.size());
      if (length < 0 || static_cast<std::size_t>(length) >= link.size())
        Fail(given, length < 0 ? errno : ENAMETOOLONG);
      if (link[0] == '/') folder = OpenFolder(AT_FDCWD, "/", given);
      PushNames(std::string(link.data(), static_cast<std::size_t>(length)), names);
    } else if (names.empty()) {
      return {std::move(folder), name, st};
    } else {
      folder = OpenFolder(folder.get(), name.c_str(), given);
    }
  }
  Refuse(given, "a directory, not a regular file");
}

void RefuseInUse(Target const& target, std::string const& given, std::string const& module) {
  struct stat const& existing = *target.existing;
  for (int fd = 0; fd <= 2; ++fd) {
    struct stat standard {};
    if (fstat(fd, &standard) == 0 && standard.st_dev == existing.st_dev &&
        standard.st_ino == existing.st_ino)
      Refuse(given,
             std::string("is illhost's standard ") + std::array{"input", "output", "error"}[fd]);
  }
  RefuseProtected(target.folder.get(), target.name, existing.st_uid, given, false);
  if (Running(existing, module, given))
    Refuse(given, "is running: illhost's program, its module or a library it has loaded");
  // Replacing goes through the folder, which would pass over a file its owner made read-only.
  if (faccessat(target.folder.get(), target.name.c_str(), W_OK, AT_EACCESS) != 0)
    Fail(given, errno);
}

Target CheckedTarget(std::string const& given, std::string const& module = {}) {
  Target target = Resolve(given);
  // A path that ends in '/' or "/." names a folder, as the kernel reads it.
  bool const namesAFolder = given.back() == '/' || given == "." ||
                            (given.size() > 1 && given.compare(given.size() - 2, 2, "/.") == 0);
  if (namesAFolder && !(target.existing && S_ISDIR(target.existing->st_mode)))
    Fail(given, target.existing ? ENOTDIR : EISDIR);
  // The kernel's own view: a link in /proc/self/fd leads to a pipe or socket by no name.
  struct stat followed {};
  bool const reached = stat(given.c_str(), &followed) == 0;
  auto const& existing = target.existing;
  mode_t const mode = reached ? followed.st_mode : existing ? existing->st_mode : S_IFREG;
  if (!S_ISREG(mode))
    Refuse(given, std::string(S_ISDIR(mode)    ? "a directory"
                              : S_ISCHR(mode)  ? "a character device"
                              : S_ISBLK(mode)  ? "a block device"
                              : S_ISFIFO(mode) ? "a FIFO"
                              : S_ISSOCK(mode) ? "a socket"
                                               : "not a regular file") +
                      ", not a regular file");
  if (reached &&
      (!existing || existing->st_dev != followed.st_dev || existing->st_ino != followed.st_ino))
    Refuse(given, "leads to no file in a folder");
  if (existing) RefuseInUse(target, given, module);
  if (faccessat(target.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) Fail(given, errno);
  return target;
}

// Every signal blocked, so that a handler never sees a half-set save.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t all;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &previous_);
  }
  ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsBlocked(SignalsBlocked const&) = delete;  // a copy would restore the mask twice
  SignalsBlocked& operator=(SignalsBlocked const&) = delete;

 private:
  sigset_t previous_{};
};

// Each signal whose default action ends the process and that nothing else handles (nor
// ignores: a closed pipe and the file-size limit are write errors here) removes the temporary
// file first. The handler stays: with no save in progress it does what the default does.
void CatchEndingSignals() {
  constexpr int kNotEnding[] = {SIGKILL, SIGSTOP, SIGCHLD, SIGCONT, SIGTSTP,
                                SIGTTIN, SIGTTOU, SIGURG,  SIGWINCH};
  struct sigaction handler {};
  handler.sa_handler = RemoveTemporaryAndDie;
  sigfillset(&handler.sa_mask);
  for (int s = 1; s < NSIG; ++s) {
    struct sigaction now {};
    if (std::find(std::begin(kNotEnding), std::end(kNotEnding), s) == std::end(kNotEnding) &&
        sigaction(s, nullptr, &now) == 0 && now.sa_handler == SIG_DFL &&
        !(now.sa_flags & SA_SIGINFO))
      sigaction(s, &handler, nullptr);
  }
}

// ".NAME.XXXXXX" beside the file it replaces, removed unless renamed into place.
class TemporaryFile {
 public:
  TemporaryFile(Target const& target, std::string const& given) : folder_(target.folder.get()) {
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, 6> random{};
    if (getrandom(random.data(), random.size(), 0) != static_cast<ssize_t>(random.size()))
      Fail(given, errno);
    name_ = "." + target.name.substr(0, kMaxBaseInName) + ".";
    for (unsigned char r : random) name_ += kLetters[r % (sizeof kLetters - 1)];
    SignalsBlocked const blocked;
    // 62^6 names: one that exists already was planted, and is refused rather than replaced.
    fd_ = Fd(
        openat(folder_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd_.get() < 0) Fail(given, errno);
    g_folder = folder_;
    std::memcpy(g_temporary, name_.c_str(), name_.size() + 1);
    g_armed = 1;
    CatchEndingSignals();
  }
  ~TemporaryFile() {
    SignalsBlocked const blocked;
    if (!renamed_) unlinkat(folder_, name_.c_str(), 0);
    g_armed = 0;
  }

  int fd() const { return fd_.get(); }
  int Close() { return fd_.Close(); }
  // Renames the file over `name`, with no window in which a signal removes it by its old name.
  bool RenameTo(std::string const& name) {
    SignalsBlocked const blocked;
    renamed_ = renameat(folder_, name_.c_str(), folder_, name.c_str()) == 0;
    g_armed = !renamed_;
    return renamed_;
  }

 private:
  int folder_;
  std::string name_;
  Fd fd_;
  bool renamed_ = false;
};

void KeepOwnership(int fd, struct stat const& existing, std::string const& given) {
  struct stat made {};
  if (fstat(fd, &made) != 0) Fail(given, errno);
  std::string const path = EscapeControls(given);
  auto const lost = [&](char const* what, unsigned kept, unsigned now) {
    ReportWarning(path + ": its " + what + " (" + std::to_string(kept) + ") could not be kept: " +
                  std::strerror(errno) + "; the new file's is " + std::to_string(now));
  };
  if (existing.st_gid != made.st_gid && fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0)
    lost("group", existing.st_gid, made.st_gid);
  if (existing.st_uid != made.st_uid && fchown(fd, existing.st_uid, static_cast<gid_t>(-1)) != 0)
    lost("owner", existing.st_uid, made.st_uid);
  if (existing.st_nlink > 1)
    ReportWarning(path + ": a hard link: its " + std::to_string(existing.st_nlink - 1) +
                  " other name(s) keep the old content");
}

extern "C" void WarnNotKept(error_context* /*context*/, char const* format, ...) {
  int const error = errno;
  std::array<char, 512> what{};
  va_list args;
  va_start(args, format);
  std::vsnprintf(what.data(), what.size(), format, args);
  va_end(args);
  ReportWarning(std::string(what.data()) + ": " + std::strerror(error) +
                "; the new file goes without it");
}

// A new file gets what an ordinary open would give it (the umask and the folder's default
// ACL), taken from a file made without a name.
void KeepPermissions(int fd, Target const& target, std::string const& given) {
  auto const& existing = target.existing;
  if (existing) KeepOwnership(fd, *existing, given);
  Fd const source(existing
                      ? openat(target.folder.get(), target.name.c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                      : openat(target.folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
  struct stat st {};
  bool const same = source.get() >= 0 && fstat(source.get(), &st) == 0 &&
                    (!existing || (st.st_dev == existing->st_dev && st.st_ino == existing->st_ino));
  std::string const path = EscapeControls(given);
  if (source.get() >= 0 && !same) errno = ESTALE;  // replaced since it was checked
  // A file the user may not read, or a file system that makes no file without a name.
  if (!same && (existing ? errno != EACCES : errno != EOPNOTSUPP && errno != EISDIR))
    Fail(given, errno);
  if (!same && existing)
    ReportWarning(path + ": its access ACL and extended attributes could not be read: " +
                  std::strerror(errno) + "; the new file goes without them");
  error_context warn{WarnNotKept, nullptr, nullptr};
  if (same) perm_copy_fd(path.c_str(), source.get(), path.c_str(), fd, &warn);
  if (same && existing) attr_copy_fd(path.c_str(), source.get(), path.c_str(), fd, nullptr, &warn);
  // Set after the owner and group, whose change clears the set-user-ID and set-group-ID bits.
  mode_t const mask = umask(0);
  umask(mask);
  if (fchmod(fd, existing ? existing->st_mode & 07777 : same ? st.st_mode & 07777 : 0666 & ~mask))
    Fail(given, errno);
}

}  // namespace

void RemovePendingTemporaryFile() {
  if (g_armed) unlinkat(g_folder, g_temporary, 0);
}

void CheckSaveTarget(std::string const& path, std::string const& module) {
  CheckedTarget(path, module);
}

void SaveAtomically(std::string const& path, std::function<void(std::ostream&)> const& write) {
  Target const target = CheckedTarget(path);
  // The user's own file, readable by no one else, until its content is complete and synced.
  TemporaryFile temporary(target, path);

  {
    FdStreamBuf buffer(temporary.fd());
    std::ostream out(&buffer);
    write(out);
    if (!buffer.Flush()) Fail(path, buffer.Error());
    if (!out) Fail(path, EIO);
  }
  if (fsync(temporary.fd()) != 0) Fail(path, errno);
  KeepPermissions(temporary.fd(), target, path);
  if (temporary.Close() != 0) Fail(path, errno);
  if (!temporary.RenameTo(target.name)) Fail(path, errno);
  // Some file systems cannot sync a folder; the rename itself has been done.
  Fd const folder(openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0) fsync(folder.get());
}

}  // namespace illhost
