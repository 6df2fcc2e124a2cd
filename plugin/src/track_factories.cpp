#include "track_factories.h"

#include "IllustrationItemTrack.h"

namespace illanimation {

du::SmartPtr<animation::ItemTrackData> CreateIllustrationItemTrack() {
  return du::SmartPtr<animation::ItemTrackData>(new IllustrationItemTrack);
}

du::SmartPtr<animation::ItemTrackData> CopyIllustrationItemTrack(
    du::SmartPtr<animation::ItemTrackData> const& source) {
  return du::SmartPtr<animation::ItemTrackData>(new IllustrationItemTrack(source));
}

void InstallTrackFactories() {
  animation::ItemTrackCreator::CreateItemTrackDataImpl = &CreateIllustrationItemTrack;
  animation::ItemTrackCreator::CopyItemTrackDataImpl = &CopyIllustrationItemTrack;
}

}  // namespace illanimation
