// GoogleTest fixtures over the shared test support: a fresh model, the module's factories in
// the host's hooks, and the reference ledger on.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

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
namespace sel = qmk::mcad_selection;

// The name types by what they mean for the name: the track's own, following the target, the
// target's default, not classified yet.
constexpr NameType Own = NameType::Custom, Follows = NameType::FromTarget,
                   Default = NameType::Default, Unresolved = NameType::Unresolved;

inline int Int(NameType type) { return static_cast<int>(type); }

// A name type as the tables beside the tests write it.
inline NameType NameTypeNamed(std::string const& word) {
  char const* const words[] = {"own", "follows", "default", "unresolved"};
  for (int type = 0; type < 4; ++type)
    if (word == words[type]) return static_cast<NameType>(type);
  throw std::invalid_argument("no name type " + word);
}

// Runs `run` with the host's calls recorded, for CallLog::Calls and CallLog::Count to read.
template <class Run>
void Recorded(Run&& run) {
  hostseams::CallLog::Start();
  run();
  hostseams::CallLog::Stop();
}

// While it lives, the host's hooks make and copy the host's own tracks, not the module's.
class HostTrackHooks {
 public:
  HostTrackHooks() {
    animation::ItemTrackCreator::CreateItemTrackDataImpl = [] {
      return du::SmartPtr<animation::ItemTrackData>(new animation::BasicItemTrackData);
    };
    animation::ItemTrackCreator::CopyItemTrackDataImpl = [](auto const& source) {
      return du::SmartPtr<animation::ItemTrackData>(new animation::BasicItemTrackData(source));
    };
  }
  HostTrackHooks(HostTrackHooks const&) = delete;
  HostTrackHooks& operator=(HostTrackHooks const&) = delete;
  ~HostTrackHooks() {
    animation::ItemTrackCreator::CreateItemTrackDataImpl = create_;
    animation::ItemTrackCreator::CopyItemTrackDataImpl = copy_;
  }

 private:
  decltype(animation::ItemTrackCreator::CreateItemTrackDataImpl) create_ =
      animation::ItemTrackCreator::CreateItemTrackDataImpl;
  decltype(animation::ItemTrackCreator::CopyItemTrackDataImpl) copy_ =
      animation::ItemTrackCreator::CopyItemTrackDataImpl;
};

// An annotation of the class `type` that is neither a centre line nor a callout.
inline du::SmartPtr<qmk::Annotation> PlainAnnotation(du::Symbol const& type) {
  return du::SmartPtr<qmk::Annotation>(new qmk::Annotation(type));
}

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
  du::SmartPtr<IllustrationItemTrack> NewTrack(std::string const& name, NameType type) {
    return MakeTrack(timeline_, name, type);
  }

  hostmodel::Model& M() { return *model_; }
  // A callout of the model; kind 1 with type 2 makes a typed callout.
  du::SmartPtr<qmannotations::Callout> Callout(std::string const& description,
                                               qmannotations::LabelContentList content,
                                               std::string const& sbomId = "", int kind = 0,
                                               int type = 0) {
    auto callout = M().AddCallout(description, std::move(content), sbomId);
    callout->m_calloutKind = kind;
    if (type != 0) callout->SetType(type);
    return callout;
  }
  // A callout without a definition, and so without label content.
  du::SmartPtr<qmannotations::Callout> Bare(std::string const& description,
                                            std::string const& sbomId = "") {
    auto bare = M().AddCallout(description, {}, sbomId);
    bare->SetDefinition({});
    return bare;
  }
  du::SmartPtr<qmannotations::Callout> Group(
      std::vector<du::SmartPtr<qmannotations::Callout>> members, bool markdown = false) {
    auto group = M().AddCallout("G", {}, "");
    group->SetGroup(true);
    group->SetMarkdown(markdown);
    group->m_groupMembers = std::move(members);
    return group;
  }
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

  // Targets in the shape scene: an object item of the part, a geometry item on it, an
  // annotation item; each item shown as `shown`.
  du::SmartPtr<animation::Target> ObjectTarget(du::Symbol const& type, std::string const& shown,
                                               int kind = 2) {
    return Target(M().AddObjectItem(type, part, shown), kind);
  }
  du::SmartPtr<animation::Target> GeometryTarget(du::Symbol const& type, std::string const& shown) {
    return Target(M().AddGeometryItem(type, part, shown));
  }
  du::SmartPtr<animation::Target> AnnotationTarget(du::SmartPtr<qmk::Annotation> const& annotation,
                                                   std::string const& shown) {
    return Target(M().AddAnnotationItem(annotation, shown));
  }
};

}  // namespace testsupport
