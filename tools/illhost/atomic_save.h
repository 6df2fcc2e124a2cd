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

// Writes what `write` puts into the stream to `path`, following links as an ordinary open
// would (see docs/illhost.md). Refuses what is not a regular file or is illhost's own standard
// stream, a file that is running, or another user's file in a sticky folder that others may
// write; keeps mode, group, owner, ACL and extended attributes where it may, warning of what
// it cannot keep. Any failure,
// and any signal that ends the process, removes the temporary file; failures throw SaveError.
void SaveAtomically(std::string const& path, std::function<void(std::ostream&)> const& write);

// Throws the SaveError that SaveAtomically would throw for a path that it refuses, that may
// not be written, or whose folder does not exist or takes no new file, so that a run can
// refuse it before doing any work; also for the module that is about to be loaded.
void CheckSaveTarget(std::string const& path, std::string const& module);

// Removes the temporary file of a save in progress, if any; safe where only async-signal-safe
// calls are allowed, for a run that must stop at once.
void RemovePendingTemporaryFile();

}  // namespace illhost
