#include "target_lookups.h"

#include "host/application.h"
#include "key_symbols.h"

namespace illanimation {

bool IsInstanceType(du::Symbol const& type) {
  return type == qmk::mcad_selection::Instance || type == qmk::mcad_selection::Assembly;
}

bool IsGeometryType(du::Symbol const& type) {
  return type == qmk::mcad_selection::ModelAnnotation3D || type == qmk::mcad_selection::Face3D;
}

du::SmartPtr<qmk::Annotation> AnnotationOf(du::SmartPtr<animation::Target> const& target) {
  du::SmartPtr<qmk::Annotation> annotation;
  animation::engineutils::GetAnnotationFromTarget(annotation, target);
  return annotation;
}

du::SmartPtr<qmk::illustration::SbomTree> ApplicationSbomTree() {
  qmkapp::illustration::TesselApp::GetTesselApp();
  return qmkapp::illustration::TesselApp::GetSbomTree();
}

bool ShowsNameValue(qmannotations::LabelContent const& part) {
  std::string const& property = part.GetPropertyName();
  return part.GetContentKind() == keys::Value &&
         (property == keys::DisplayName || property == keys::SbomName ||
          property == keys::EbomName);
}

}  // namespace illanimation
