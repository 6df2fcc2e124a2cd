// The SBOM instance behind a callout. The label-content check is the track's
// ClassifyNameByLabelContent, defined beside this in callout_sbom_instance.cpp.
#pragma once

#include "host/annotations.h"
#include "host/illustration.h"

namespace illanimation {

// The SBOM instance that a callout labels; empty when none.
du::SmartPtr<qmk::illustration::SbomInstance> FindCalloutSbomInstance(
    du::SmartPtr<qmannotations::Callout> const& callout);

}  // namespace illanimation
