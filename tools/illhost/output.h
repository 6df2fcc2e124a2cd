// What illhost shows of a run, and what --save writes. The table and the text of --explain are
// for people: every cell and value is escaped and cut for a terminal. JSON is for tools: values
// as they are.
#pragma once

#include "driver.h"

namespace illhost {

// The word of a name type (name_types.h), the number for any other value, "-" for none.
std::string NameTypeLabel(std::optional<std::int64_t> const& type);

// One row per track, each column as wide as its widest cell in terminal columns; cells longer
// than 40 columns are cut unless the table is wide.
void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide);

// `{"tracks": [...]}` indented by two spaces a level, starting at `indent` spaces (for an
// object nested under a file name), without a final newline.
void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results, int indent = 0);

// --explain: the steps of one track and why it ends with its name type.
struct Explanation {
  std::string track;
  std::vector<StepRecord> steps;
  std::string reason;
};
void PrintExplanation(std::ostream& out, Explanation const& explanation);
// `{"track", "steps": [{"step", "argument", "result", "name_type_before", "name_type_after",
// "host_calls"}], "reason"}` starting at `indent` spaces, without a final newline.
void PrintExplanationJson(std::ostream& out, Explanation const& explanation, int indent = 0);

// Why a track ended with its name type, from what its steps recorded and what the stand-in's
// model knows of the target's names.
std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps);

}  // namespace illhost
