#include "driver.h"

#include "host/illustration.h"

namespace illhost {
namespace {

std::vector<std::pair<std::string, std::int64_t>> Saved(
    du::SmartPtr<animation::ItemTrackData> const& track) {
  animation::PropertyWriter writer;
  track->Save(writer);
  std::vector<std::pair<std::string, std::int64_t>> out;
  for (auto const& [key, value] : writer.Entries()) out.emplace_back(key.str(), value);
  return out;
}

std::optional<std::int64_t> NameType(du::SmartPtr<animation::ItemTrackData> const& track) {
  for (auto const& [key, value] : Saved(track))
    if (key == "name_type") return value;
  return std::nullopt;
}

std::optional<std::string> ItemId(Illustration const& ill,
                                  du::SmartPtr<qmk::SelectionItem> const& item) {
  if (!item) return std::nullopt;
  auto const found = ill.itemIds.find(item.get());
  if (found != ill.itemIds.end()) return found->second;
  if (auto sbomItem = item.DynamicCast<qmk::illustration::SbomInstanceSelectionItem>()) {
    auto const sbom = ill.sbomIds.find(sbomItem->GetSbomInstance().get());
    if (sbom != ill.sbomIds.end()) return "sbom:" + sbom->second;
  }
  return std::string("?");
}

}  // namespace

std::vector<TrackResult> DriveTracks(Illustration& ill) {
  du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
  timeline->SetSaveSuppressed(ill.saveSuppressed);
  std::vector<du::SmartPtr<animation::ContainerTrackData>> parents;
  std::vector<TrackResult> results;
  for (TrackSpec const& spec : ill.tracks) {
    auto track = animation::ItemTrackCreator::CreateItemTrackDataImpl();
    parents.emplace_back(
        new animation::ContainerTrackData(static_cast<animation::TrackType>(spec.parentTrackType)));
    parents.back()->AddChild(track);
    timeline->AddTrack(track);
    track->SetSelectionItem(spec.selectionItem);
    track->SetLockedState(spec.locked);
    if (spec.stored) {
      track->SetTrackName(spec.stored->name, {});
      animation::PropertyReader reader(spec.stored->properties);
      track->Load(reader);
    } else {
      track->InitDisplayName(spec.target);
    }
    if (spec.rename)
      track->SetTrackName(spec.rename->name, spec.rename->byUser
                                                 ? du::SmartPtr<qmk::Operation>(new qmk::Operation)
                                                 : du::SmartPtr<qmk::Operation>());
    if (spec.refresh) track->UpdateDisplayName(spec.target ? spec.target->m_scene : nullptr);

    TrackResult r;
    r.id = spec.id;
    if (spec.target) r.target = ItemId(ill, spec.target->m_selectionItem).value_or("");
    r.nameTypeBefore = NameType(track);
    r.description = track->GetTargetDescription(spec.target).str();
    r.nameType = NameType(track);
    r.trackName = track->TrackNameField();
    r.shownName = track->GetTrackName();
    r.usesTargetName = track->UsesTargetName();
    r.selectionItem = ItemId(ill, track->GetSelectionItem());
    r.saved = Saved(track);
    results.push_back(std::move(r));
  }
  timeline->Clear();
  for (auto const& parent : parents) parent->ClearChildren();
  return results;
}

}  // namespace illhost
