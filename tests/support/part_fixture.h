// The part that most tests, fuzz targets and benchmarks name: a part instance "i1" ("part.1",
// shown "Part shown") standing for the SBOM instance "s1" ("SB-1", named "Sbom name", shown
// "Sbom shown"), in a shape scene with a callouts engine.
#pragma once

#include <map>
#include <string>

#include "model.h"

namespace testsupport {

class PartFixture {
 public:
  explicit PartFixture(hostmodel::Model& model);

  // A target of the item in the shape scene; kind 2 is a selection-item target.
  du::SmartPtr<animation::Target> Target(du::SmartPtr<qmk::SelectionItem> const& item,
                                         int kind = 2) const;

  // A target of a centre line without object whose pending object, of the selection type
  // `type`, carries `fields`; the line's item is shown as "CL".
  du::SmartPtr<animation::Target> PendingCenterLine(
      du::Symbol const& type, std::map<std::string, std::string> const& fields) const;

  du::SmartPtr<qmk::ShapeScene> scene;
  du::SmartPtr<qmk::Instance> part;
  du::SmartPtr<qmk::illustration::SbomInstance> sbom;

 private:
  hostmodel::Model* partModel_;
};

}  // namespace testsupport
