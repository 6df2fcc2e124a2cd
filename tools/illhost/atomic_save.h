// Replaces a file all at once or not at all: the new content goes to a fresh temporary file
// beside it, is synced, and is renamed over it. Nothing else is ever written.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>

namespace illhost {

class SaveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Follows links as an ordinary open would (see docs/illhost.md); keeps mode, owner, group, ACL
// and extended attributes where it may, warning of what it cannot keep. Any failure, and any
// signal that ends the process, removes the temporary file.
void SaveAtomically(std::string const& path, std::function<void(std::ostream&)> const& write);

// Throws what SaveAtomically would for a path it refuses, so that a run can refuse it before
// doing any work; also refuses the module that is about to be loaded.
void CheckSaveTarget(std::string const& path, std::string const& module);

// Async-signal-safe, for a run that must stop at once.
void RemovePendingTemporaryFile();

}  // namespace illhost
