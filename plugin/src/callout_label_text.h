// A callout's label as one line of plain text.
#pragma once

#include "host/annotations.h"

namespace illanimation {

// The callout's label as the scene's callouts engine renders it, prefixed with its short
// description and flattened to one line; the callout's object text outside a shape scene.
du::Symbol GetCalloutLabelText(du::SmartPtr<qmannotations::Callout> const& callout,
                               qmk::Scene* scene);

}  // namespace illanimation
