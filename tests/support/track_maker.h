// Tracks made as the host makes them: through its create hook, into a timeline.
#pragma once

#include <string>

#include "IllustrationItemTrack.h"

namespace testsupport {

// A new track from the host's create hook, added to `timeline` and renamed to `name` unless it
// is empty. Throws std::logic_error when the hook does not make an illustration track, as when
// the module's factories are not installed.
du::SmartPtr<illanimation::IllustrationItemTrack> MakeTrack(
    du::SmartPtr<animation::Timeline> const& timeline, std::string const& name = {});

// The same, then given the name type.
du::SmartPtr<illanimation::IllustrationItemTrack> MakeTrack(
    du::SmartPtr<animation::Timeline> const& timeline, std::string const& name,
    illanimation::NameType type);

}  // namespace testsupport
