// Drives each track of an illustration as the host does and records what the module shows;
// for one track on request, also each step and the host calls that the module made in it.
#pragma once

#include <variant>

#include "illustration.h"

namespace illhost {

// What a step was given or gave back; an object for stored properties, a rename or a cut.
using Scalar = std::variant<std::monostate, std::string, bool, std::int64_t>;
struct StepValue {
  Scalar value;
  std::optional<std::vector<std::pair<std::string, Scalar>>> object;
};

// The steps that illhost drives on a track, in order, each with the operation it calls; a step
// is known by its address here, never by its name.
struct Step {
  std::string_view name, operation;
};
namespace steps {
inline constexpr Step kCreate{"create", "animation::ItemTrackCreator::CreateItemTrackDataImpl"},
    kCopy{"copy", "animation::ItemTrackCreator::CopyItemTrackDataImpl"},
    kCut{"cut", "animation::ItemTrackData::CutTrackInRange"},
    kSetTrackName{"SetTrackName", "animation::TrackData::SetTrackName"},
    kLoad{"Load", "animation::ItemTrackData::Load"},
    kInitDisplayName{"InitDisplayName", "animation::ItemTrackData::InitDisplayName"},
    kCopyFrom{"CopyFrom", "animation::ItemTrackData::CopyFrom"},
    kRename{"rename", "animation::TrackData::SetTrackName"},
    kRefresh{"refresh", "animation::ItemTrackData::UpdateDisplayName"},
    kGetTargetDescription{"GetTargetDescription", "animation::ItemTrackData::GetTargetDescription"},
    kGetTrackName{"GetTrackName", "animation::TrackData::GetTrackName"},
    kUsesTargetName{"UsesTargetName", "animation::ItemTrackData::UsesTargetName"},
    kGetSelectionItem{"GetSelectionItem", "animation::ItemTrackData::GetSelectionItem"},
    kSave{"Save", "animation::ItemTrackData::Save"};
}  // namespace steps

// A sequence of host calls that repeats in a row is held once with its count, so that what a
// step shows grows with its distinct calls, not with how often they ran.
struct CallRun {
  std::vector<std::string> calls;
  std::size_t times = 1;
};
std::vector<CallRun> FoldCalls(std::vector<std::string> const& calls);

struct StepRecord {
  Step const* step;
  StepValue argument, result;
  std::optional<std::int64_t> nameTypeBefore, nameTypeAfter;  // none where no track exists
  std::vector<CallRun> hostCalls;
};

struct DriveOutcome {
  std::vector<TrackResult> results;
  std::optional<std::size_t> explained;  // the track asked for, whose steps are recorded
  std::vector<StepRecord> steps;
};

DriveOutcome DriveTracks(Illustration& illustration,
                         std::optional<std::string> const& explainId = std::nullopt);

}  // namespace illhost
