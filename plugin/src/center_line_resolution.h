// Whether a text is one of an instance's names. The centre-line resolution itself is the
// track's ResolveCenterLineTarget, defined beside this in center_line_resolution.cpp.
#pragma once

#include <string>

#include "host/kernel.h"

namespace illanimation {

// Whether `text` is one of the names of the SBOM instance that stands for `instance`.
bool MatchesInstanceName(du::SmartPtr<qmk::BaseInstance> const& instance, std::string const& text);

}  // namespace illanimation
