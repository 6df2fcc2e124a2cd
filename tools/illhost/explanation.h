// Why a track ended with its name type, in one sentence, from the steps that illhost drove and
// from the illustration itself: which of the target's names the stored name equals, or what
// about the target keeps its name from following it.
#pragma once

#include <string>
#include <vector>

#include "driver.h"
#include "illustration.h"

namespace illhost {

std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps);

}  // namespace illhost
