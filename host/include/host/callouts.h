// Host callouts library: the engine that renders callout labels in a shape scene.
#pragma once

#include <string>

#include "host/annotations.h"

namespace qmcallouts {

class QM_HOST_API Callouts : public du::RefCounted {
 public:
  ~Callouts() override;
  // Renders the label that `content` describes for `callout` into `out`: literal text,
  // the callout's tag, and property values of the SBOM instance that the callout labels.
  virtual void GenerateLabelString(du::SmartPtr<qmannotations::Callout> const& callout,
                                   qmannotations::LabelContentList content, bool markdown,
                                   std::string& out) const;
};

// Empty when the scene has no callouts engine.
QM_HOST_API du::SmartPtr<Callouts> GetCalloutsEngineForScene(
    du::SmartPtr<qmk::ShapeScene> const& scene);

}  // namespace qmcallouts
