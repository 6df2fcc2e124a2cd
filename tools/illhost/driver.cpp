#include "driver.h"

#include <algorithm>
#include <map>

#include "host/illustration.h"
#include "hostseams.h"

namespace illhost {
namespace {

using Saved = std::vector<std::pair<std::string, std::int64_t>>;
using TrackPtr = du::SmartPtr<animation::ItemTrackData>;

Saved SavedBy(TrackPtr const& track) {
  animation::PropertyWriter writer;
  track->Save(writer);
  Saved out;
  out.reserve(writer.Entries().size());
  for (auto const& [key, value] : writer.Entries()) out.emplace_back(key.str(), value);
  return out;
}

std::optional<std::string> ItemId(Illustration const& ill,
                                  du::SmartPtr<qmk::SelectionItem> const& item) {
  if (!item) return std::nullopt;
  if (auto const id = ill.itemIds.Find(item.get())) return std::string(*id);
  if (auto sbomItem = item.DynamicCast<qmk::illustration::SbomInstanceSelectionItem>()) {
    if (auto const id = ill.sbomIds.Find(sbomItem->GetSbomInstance().get()))
      return "sbom:" + std::string(*id);
  }
  return std::string("?");
}

// Drives one track; records each step when `steps` is given.
class TrackRun {
 public:
  TrackRun(Illustration& ill, animation::Timeline& timeline, std::vector<StepRecord>* steps)
      : ill_(ill), timeline_(timeline), steps_(steps) {}

  // The name type as the host learns it: what Save writes. illhost is the host, so it lifts a
  // suppression of saving for its own look and puts it back.
  std::optional<std::int64_t> NameType() const {
    timeline_.SetSaveSuppressed(false);
    Saved const saved = SavedBy(track_);
    timeline_.SetSaveSuppressed(ill_.saveSuppressed);
    for (auto const& [key, value] : saved)
      if (key == "name_type") return value;
    return std::nullopt;
  }

  // Runs `call`, then `setup` (what illhost does as the host, whose calls are not the module's).
  // When recording, returns the step's record for the caller to add what it was given and gave.
  template <class Call, class Setup = void (*)()>
  StepRecord* Step(
      char const* step, Call const& call, Setup const& setup = [] {}) {
    if (!steps_) return call(), setup(), nullptr;
    StepRecord record{step, {}, {}, track_ ? NameType() : std::nullopt, {}, {}};
    hostseams::CallLog::Start();
    call();
    hostseams::CallLog::Stop();
    auto& calls = record.hostCalls = hostseams::CallLog::Calls();
    calls.erase(std::unique(calls.begin(), calls.end()), calls.end());
    setup();
    record.nameTypeAfter = NameType();
    return &steps_->emplace_back(std::move(record));
  }

  TrackResult Drive(TrackSpec const& spec, animation::ContainerTrackData& parent) {
    Step(
        "create", [&] { track_ = animation::ItemTrackCreator::CreateItemTrackDataImpl(); },
        [&] {
          parent.AddChild(track_);
          timeline_.AddTrack(track_);
          track_->SetSelectionItem(spec.selectionItem);
          track_->SetLockedState(spec.locked);
        });
    if (spec.stored) {
      if (auto* s = Step("SetTrackName", [&] { track_->SetTrackName(spec.stored->name, {}); }))
        s->argument.value = spec.stored->name;
      if (auto* s = Step("Load", [&] {
            animation::PropertyReader reader(spec.stored->properties);
            track_->Load(reader);
          }))
        s->argument = Properties(spec.stored->properties);
    } else {
      Step("InitDisplayName", [&] { track_->InitDisplayName(spec.target); });
    }
    if (spec.rename) {
      bool const byUser = spec.rename->byUser;
      if (auto* s = Step("rename", [&] {
            track_->SetTrackName(spec.rename->name, byUser ? new qmk::Operation : nullptr);
          }))
        s->argument.object = {{"name", spec.rename->name}, {"operation", byUser}};
    }
    if (spec.refresh)
      Step("refresh",
           [&] { track_->UpdateDisplayName(spec.target ? spec.target->m_scene : nullptr); });
    return Observe(spec);
  }

 private:
  template <class Key>
  static StepValue Properties(std::vector<std::pair<Key, std::int64_t>> const& properties) {
    StepValue v{{}, std::vector<std::pair<std::string, Scalar>>()};
    for (auto const& [key, value] : properties) v.object->emplace_back(std::string(key), value);
    return v;
  }

  TrackResult Observe(TrackSpec const& spec) {
    TrackResult r;
    r.id = spec.id;
    if (spec.target) r.target = ItemId(ill_, spec.target->m_selectionItem).value_or("");
    r.nameTypeBefore = NameType();
    if (auto* s = Step("GetTargetDescription",
                       [&] { r.description = track_->GetTargetDescription(spec.target).str(); }))
      s->result.value = r.description;
    r.nameType = NameType();
    r.trackName = track_->TrackNameField();
    if (auto* s = Step("GetTrackName", [&] { r.shownName = track_->GetTrackName(); }))
      s->result.value = r.shownName;
    if (auto* s = Step("UsesTargetName", [&] { r.usesTargetName = track_->UsesTargetName(); }))
      s->result.value = r.usesTargetName;
    du::SmartPtr<qmk::SelectionItem> item;
    StepRecord* selection = Step("GetSelectionItem", [&] { item = track_->GetSelectionItem(); });
    r.selectionItem = ItemId(ill_, item);
    if (selection && r.selectionItem) selection->result.value = *r.selectionItem;
    // What the file keeps: Save with any suppression of saving in force.
    if (auto* s = Step("Save", [&] { r.saved = SavedBy(track_); })) s->result = Properties(r.saved);
    return r;
  }

  Illustration& ill_;
  animation::Timeline& timeline_;
  std::vector<StepRecord>* steps_;
  TrackPtr track_;
};

}  // namespace

DriveOutcome DriveTracks(Illustration& ill, std::optional<std::string> const& explainId) {
  du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
  timeline->SetSaveSuppressed(ill.saveSuppressed);
  // The module asks a track's parent for its type only: one parent of each type serves every
  // track, and each track leaves its parent and the timeline once driven, so that the tracks
  // of a large illustration never all live at once.
  std::map<int, du::SmartPtr<animation::ContainerTrackData>> parents;
  DriveOutcome outcome;
  outcome.results.reserve(ill.tracks.size());
  for (TrackSpec const& spec : ill.tracks) {
    bool const explain = explainId && !outcome.explained && spec.id == *explainId;
    if (explain) outcome.explained = outcome.results.size();
    auto& parent = parents[spec.parentTrackType];
    if (!parent)
      parent = new animation::ContainerTrackData(
          static_cast<animation::TrackType>(spec.parentTrackType));
    TrackRun run(ill, *timeline, explain ? &outcome.steps : nullptr);
    outcome.results.push_back(run.Drive(spec, *parent));
    timeline->Clear();
    parent->ClearChildren();
  }
  return outcome;
}

}  // namespace illhost
