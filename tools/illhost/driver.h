// Drives each track of an illustration as the host does and records what the module shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "illustration.h"

namespace illhost {

struct TrackResult {
  std::string id;
  std::string target;  // the target's item id, "" for none
  std::optional<std::int64_t> nameTypeBefore, nameType;
  std::string trackName, shownName, description;
  bool usesTargetName = false;
  std::optional<std::string> selectionItem;
  std::vector<std::pair<std::string, std::int64_t>> saved;
};

std::vector<TrackResult> DriveTracks(Illustration& illustration);

}  // namespace illhost
