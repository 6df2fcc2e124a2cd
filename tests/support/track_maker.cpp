#include "track_maker.h"

#include <stdexcept>

namespace testsupport {

du::SmartPtr<illanimation::IllustrationItemTrack> MakeTrack(
    du::SmartPtr<animation::Timeline> const& timeline, std::string const& name) {
  auto track = animation::ItemTrackCreator::CreateItemTrackDataImpl()
                   .DynamicCast<illanimation::IllustrationItemTrack>();
  if (!track)
    throw std::logic_error(
        "the host's create hook made no illustration track; install the "
        "module's track factories first");
  timeline->AddTrack(track);
  if (!name.empty()) track->SetTrackName(name, {});
  return track;
}

du::SmartPtr<illanimation::IllustrationItemTrack> MakeTrack(
    du::SmartPtr<animation::Timeline> const& timeline, std::string const& name,
    illanimation::NameType type) {
  auto track = MakeTrack(timeline, name);
  track->SetNameType(type);
  return track;
}

}  // namespace testsupport
