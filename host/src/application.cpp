#include "host/application.h"

#include "seam_hooks.h"

namespace qmkapp {
namespace illustration {

namespace {
du::SmartPtr<qmk::illustration::SbomTree>& Tree() {
  static auto* tree = new du::SmartPtr<qmk::illustration::SbomTree>;
  return *tree;
}
}  // namespace

TesselApp* TesselApp::GetTesselApp() {
  QM_HOST_CALL("qmkapp::illustration::TesselApp::GetTesselApp");
  static TesselApp app;
  return &app;
}

du::SmartPtr<qmk::illustration::SbomTree> TesselApp::GetSbomTree() {
  QM_HOST_CALL("qmkapp::illustration::TesselApp::GetSbomTree");
  return Tree();
}

void TesselApp::SetSbomTree(du::SmartPtr<qmk::illustration::SbomTree> tree) {
  Tree() = std::move(tree);
}

}  // namespace illustration
}  // namespace qmkapp
