// Lookups on the host model that several track operations share.
#pragma once

#include <string>
#include <vector>

#include "host/animation.h"
#include "host/annotations.h"
#include "host/illustration.h"

namespace illanimation {

// The selection type of a target's selection item is one of the given host constants.
bool IsInstanceType(du::Symbol const& type);  // Instance or Assembly
bool IsGeometryType(du::Symbol const& type);  // ModelAnnotation3D or Face3D

// The annotation that the host finds behind a target; empty when none.
du::SmartPtr<qmk::Annotation> AnnotationOf(du::SmartPtr<animation::Target> const& target);

// The application's SBOM tree, asked for the way the host expects (application first).
du::SmartPtr<qmk::illustration::SbomTree> ApplicationSbomTree();

// Whether `text` is one of the names of the SBOM instance that stands for `instance`.
bool MatchesInstanceName(du::SmartPtr<qmk::BaseInstance> const& instance, std::string const& text);

// The SBOM instance that a callout labels; empty when none.
du::SmartPtr<qmk::illustration::SbomInstance> FindCalloutSbomInstance(
    du::SmartPtr<qmannotations::Callout> const& callout);

// Whether a callout's label content shows an SBOM name or the tag.
bool ShowsSbomName(du::SmartPtr<qmannotations::Callout> const& callout);

// A label-content part that shows one of the SBOM instance's name properties.
bool ShowsNameValue(qmannotations::LabelContent const& part);

// The callout's label as one line of plain text, prefixed with its short description.
du::Symbol GetCalloutLabelText(du::SmartPtr<qmannotations::Callout> const& callout, qmk::Scene* scene);

// The pieces of a callout group's name remainder, split at ", ": the texts between the
// separators, a leading separator giving an empty first piece, a trailing one no last piece.
std::vector<std::string> SplitNameRemainder(std::string const& remainder);

}  // namespace illanimation
