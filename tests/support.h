// GoogleTest fixtures over the shared test support: a fresh model, the module's factories in
// the host's hooks, and the reference ledger on.
#pragma once

#include <gtest/gtest.h>

#include "IllustrationItemTrack.h"
#include "callout_label_name_matching.h"
#include "callout_label_text.h"
#include "callout_sbom_instance.h"
#include "center_line_resolution.h"
#include "hostseams.h"
#include "model.h"
#include "part_fixture.h"
#include "target_lookups.h"
#include "track_factories.h"
#include "track_maker.h"

namespace testsupport {

using illanimation::IllustrationItemTrack;
using illanimation::NameType;

inline int Int(NameType type) { return static_cast<int>(type); }

class ModuleTest : public ::testing::Test {
 protected:
  ModuleTest() {
    hostseams::Ledger::Enable(true);
    illanimation::InstallTrackFactories();
    model_ = std::make_unique<hostmodel::Model>();
  }
  ~ModuleTest() override {
    hostseams::Faults::Disarm();
    model_.reset();
    hostseams::Ledger::Enable(false);
  }

  // A new track made through the host's create hook, in the test's timeline.
  du::SmartPtr<IllustrationItemTrack> NewTrack(std::string const& name = {}) {
    return MakeTrack(timeline_, name);
  }

  hostmodel::Model& M() { return *model_; }
  du::SmartPtr<qmk::Operation> UserOperation() {
    return du::SmartPtr<qmk::Operation>(new qmk::Operation);
  }

  std::unique_ptr<hostmodel::Model> model_;
  du::SmartPtr<animation::Timeline> timeline_{new animation::Timeline};
};

// A shape scene and a part instance "i1" standing for the SBOM instance "s1".
class PartTest : public ModuleTest, public PartFixture {
 protected:
  PartTest() : PartFixture(M()) {}
};

}  // namespace testsupport
