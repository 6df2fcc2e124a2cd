// Helpers of the callout label name matching. The matching itself is the track's
// ClassifyCalloutLabelName, defined beside this in callout_label_name_matching.cpp.
#pragma once

#include <string>
#include <vector>

#include "host/annotations.h"

namespace illanimation {

// Whether a callout's label content shows an SBOM name or the tag.
bool ShowsSbomName(du::SmartPtr<qmannotations::Callout> const& callout);

// The pieces of a callout group's name remainder, split at ", ": the texts between the
// separators, a leading separator giving an empty first piece, a trailing one no last piece.
std::vector<std::string> SplitNameRemainder(std::string const& remainder);

}  // namespace illanimation
