// What illhost shows of a run. The table and the text of --explain are for people: every cell
// and value is escaped and cut for a terminal. JSON is for tools: values as they are.
#pragma once

#include "driver.h"

namespace illhost {

// The word of a name type, the number for any other value, "-" for none.
std::string NameTypeLabel(std::optional<std::int64_t> const& type);

// Cells longer than 40 columns are cut unless the table is wide.
void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide);

// The JSON outputs start at `indent` spaces (an object nested under a file name) and end
// without a newline.
void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results,
                     std::size_t indent);

// --explain: the steps of one track and why it ends with its name type.
struct Explanation {
  std::string track;
  std::vector<StepRecord> steps;
  std::string reason;
};
void PrintExplanation(std::ostream& out, Explanation const& explanation);
void PrintExplanationJson(std::ostream& out, Explanation const& explanation, std::size_t indent);

// Why a track ended with its name type, from what its steps recorded and what the stand-in's
// model knows of the target's names.
std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps);

}  // namespace illhost
