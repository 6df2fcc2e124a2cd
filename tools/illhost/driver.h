// Drives each track of an illustration as the host does and records what the module shows;
// for one track on request, also each step and the host calls that the module made in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
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

// What a step was given or gave back, as data: nothing, a text, a truth value, a number, or an
// object (stored properties; a rename's name and whether an operation came with it).
using Scalar = std::variant<std::monostate, std::string, bool, std::int64_t>;
struct StepValue {
  Scalar value;
  std::optional<std::vector<std::pair<std::string, Scalar>>> object;
};

// One call that illhost made on a track, and what it changed.
struct StepRecord {
  std::string step;  // the call, or "create" and "rename" and "refresh"
  StepValue argument, result;
  std::optional<std::int64_t> nameTypeBefore, nameTypeAfter;  // none where no track exists
  std::vector<std::string> hostCalls;  // in the order made, a call repeated in a row once
};

struct DriveOutcome {
  std::vector<TrackResult> results;
  std::optional<std::size_t> explained;  // the track asked for, whose steps are recorded
  std::vector<StepRecord> steps;
};

// `explainId`, when given, names the track whose steps are recorded.
DriveOutcome DriveTracks(Illustration& illustration,
                         std::optional<std::string> const& explainId = std::nullopt);

}  // namespace illhost
