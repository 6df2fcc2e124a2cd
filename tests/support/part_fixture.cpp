#include "part_fixture.h"

#include "center_line_fixture.h"

namespace testsupport {

PartFixture::PartFixture(hostmodel::Model& model)
    : scene(model.AddShapeScene()),
      part(model.AddInstance("i1", "part.1", "Part shown")),
      sbom(model.AddSbom("s1", "SB-1", "Sbom name", "Sbom shown")),
      partModel_(&model) {
  hostmodel::Model::Link(part, sbom);
}

du::SmartPtr<animation::Target> PartFixture::Target(du::SmartPtr<qmk::SelectionItem> const& item,
                                                    int kind) const {
  return hostmodel::Model::MakeTarget(item, scene, kind);
}

du::SmartPtr<animation::Target> PartFixture::PendingCenterLine(
    du::Symbol const& type, std::map<std::string, std::string> const& fields) const {
  auto line = AddPendingCenterLine(*partModel_, type, fields);
  return Target(partModel_->AddAnnotationItem(line, "CL"));
}

}  // namespace testsupport
