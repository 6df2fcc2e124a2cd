// --explain: the steps of one track, the host calls made in each, the name type before and
// after each, and why the track ends with its name type.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "driver.h"

namespace illhost {

struct Explanation {
  std::string track;
  std::vector<StepRecord> steps;
  std::string reason;
};

void PrintExplanation(std::ostream& out, Explanation const& explanation);
// `{"track", "steps": [{"step", "argument", "result", "name_type_before", "name_type_after",
// "host_calls"}], "reason"}` starting at `indent` spaces, without a final newline.
void PrintExplanationJson(std::ostream& out, Explanation const& explanation, int indent = 0);

}  // namespace illhost
