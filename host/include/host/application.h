// Host illustration application: the application object and its SBOM tree.
#pragma once

#include "host/illustration.h"

namespace qmkapp {
namespace illustration {

class QM_HOST_API TesselApp {
 public:
  static TesselApp* GetTesselApp();
  // Empty while the application has no SBOM tree.
  static du::SmartPtr<qmk::illustration::SbomTree> GetSbomTree();

  QM_STANDIN_ONLY static void SetSbomTree(du::SmartPtr<qmk::illustration::SbomTree> tree);
};

}  // namespace illustration
}  // namespace qmkapp
