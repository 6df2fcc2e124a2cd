// Small lookups on the host model that several track operations share.
#pragma once

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

// A label-content part that shows one of the SBOM instance's name properties.
bool ShowsNameValue(qmannotations::LabelContent const& part);

}  // namespace illanimation
