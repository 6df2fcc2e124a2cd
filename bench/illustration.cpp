#include "illustration.h"

#include "track_factories.h"

namespace bench {

namespace sel = qmk::mcad_selection;

Illustration::Illustration() : timeline(new animation::Timeline) {
  illanimation::InstallTrackFactories();
  scene = model.AddShapeScene();
  part = model.AddInstance("i1", "part.1", "Part shown");
  sbom = model.AddSbom("s1", "SB-1", "Sbom name", "Sbom shown");
  hostmodel::Model::Link(part, sbom);
  sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt M8x40"));
  line = model.AddCenterLine();
  line->AddObject(part);
  callout = model.AddCallout("Fastener", {hostmodel::Part("g", "sBOM Name", "Value")}, "s1");
  auto target = [&](du::SmartPtr<qmk::SelectionItem> const& item) {
    return hostmodel::Model::MakeTarget(item, scene);
  };
  targets = {
      target(model.AddObjectItem(sel::Instance, part, "Part shown")),
      target(model.AddGeometryItem(sel::Face3D, part, "Face 7")),
      target(model.AddAnnotationItem(line, "Centre line 1")),
      target(model.AddAnnotationItem(line, standin::kDefaultGenericText)),
      target(model.AddAnnotationItem(callout, "Callout 1")),
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
  return hostmodel::Model::MakeTarget(model.AddAnnotationItem(group, "Group"), scene);
}

du::SmartPtr<illanimation::IllustrationItemTrack> Illustration::Track(std::string const& name,
                                                                      illanimation::NameType type) {
  auto track = animation::ItemTrackCreator::CreateItemTrackDataImpl()
                   .DynamicCast<illanimation::IllustrationItemTrack>();
  timeline->AddTrack(track);
  track->SetTrackName(name, {});
  track->SetNameType(type);
  return track;
}

}  // namespace bench
