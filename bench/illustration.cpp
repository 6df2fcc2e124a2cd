#include "illustration.h"

#include "track_factories.h"
#include "track_maker.h"

namespace bench {

namespace sel = qmk::mcad_selection;

Illustration::Illustration() : timeline(new animation::Timeline) {
  illanimation::InstallTrackFactories();
  fixture.sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt M8x40"));
  line = model.AddCenterLine();
  line->AddObject(fixture.part);
  callout = model.AddCallout("Fastener", {hostmodel::Part("g", "sBOM Name", "Value")}, "s1");
  targets = {
      fixture.Target(model.AddObjectItem(sel::Instance, fixture.part, "Part shown")),
      fixture.Target(model.AddGeometryItem(sel::Face3D, fixture.part, "Face 7")),
      fixture.Target(model.AddAnnotationItem(line, "Centre line 1")),
      fixture.Target(model.AddAnnotationItem(line, standin::kDefaultGenericText)),
      fixture.Target(model.AddAnnotationItem(callout, "Callout 1")),
  };
}

du::SmartPtr<animation::Target> Illustration::TargetOf(Kind kind) const {
  return targets[static_cast<std::size_t>(kind)];
}

std::string Illustration::FollowingName(Kind kind) {
  switch (kind) {
    case Kind::Instance:
      return "part.1";
    case Kind::Face:
      return "SB-1::Face 3";
    case Kind::CenterLine:
    case Kind::GenericCenterLine:
      return "Sbom name";
    case Kind::Callout:
      return "Item SB-1";
  }
  return {};
}

du::SmartPtr<animation::Target> Illustration::CalloutGroup(int members,
                                                           std::string& followingName) {
  auto group = model.AddCallout("Group", {}, "");
  group->SetGroup(true);
  followingName = "Items ";
  for (int i = 0; i < members; ++i) {
    std::string const id = "g" + std::to_string(members) + "." + std::to_string(i);
    std::string const symbol = "SB-" + id;
    auto instance = model.AddSbom(id, symbol, "Sbom " + id, "Shown " + id);
    instance->SetProperty("g", "sBOM Name", du::Symbol("Name " + id));
    group->m_groupMembers.push_back(
        model.AddCallout("M", {hostmodel::Part("g", "sBOM Name", "Value")}, id));
    if (i > 0) followingName += ", ";
    followingName += symbol;
  }
  return fixture.Target(model.AddAnnotationItem(group, "Group"));
}

du::SmartPtr<illanimation::IllustrationItemTrack> Illustration::Track(std::string const& name,
                                                                      illanimation::NameType type) {
  return testsupport::MakeTrack(timeline, name, type);
}

}  // namespace bench
