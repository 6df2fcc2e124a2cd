// Replaces a file all at once or not at all: the new content goes to a fresh temporary file
// beside it, is synced, and is renamed over it. Nothing else is ever written.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

namespace illhost {

// One line: the path as given and the reason.
class SaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes what `write` puts into the stream to `path`. A symbolic link keeps being a link: the
// file it leads to is replaced. An existing file keeps its permission bits (and, when the
// process may set them, its owner). A path that exists but is not a regular file is refused
// and left alone. SIGINT, SIGTERM and SIGHUP during the write remove the temporary file before
// the process dies of them; any failure removes it and throws SaveError.
void SaveAtomically(std::string const& path, std::function<void(std::ostream&)> const& write);

// Throws the SaveError that SaveAtomically would throw for a path that is not a regular file,
// that may not be written, or whose folder does not exist or takes no new file, so that a run
// can refuse it before doing any work.
void CheckSaveTarget(std::string const& path);

// Removes the temporary file of a save in progress, if any; safe where only async-signal-safe
// calls are allowed, for a run that must stop at once.
void RemovePendingTemporaryFile();

}  // namespace illhost
