// The factories that make every item track of the host an IllustrationItemTrack.
#pragma once

#include "host/animation.h"

namespace illanimation {

du::SmartPtr<animation::ItemTrackData> CreateIllustrationItemTrack();
du::SmartPtr<animation::ItemTrackData> CopyIllustrationItemTrack(
    du::SmartPtr<animation::ItemTrackData> const& source);

// Puts the two factories into the host's item-track hooks, replacing what they held.
void InstallTrackFactories();

}  // namespace illanimation
