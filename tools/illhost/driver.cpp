#include "driver.h"

#include <algorithm>
#include <boost/unordered/unordered_flat_map.hpp>
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

  // `setup` is what illhost does as the host, whose calls are not the module's. When recording,
  // returns the step's record for the caller to fill in.
  template <class Call, class Setup = void (*)()>
  StepRecord* Run(
      Step const& step, Call const& call, Setup const& setup = [] {}) {
    if (!steps_) return call(), setup(), nullptr;
    StepRecord record{&step, {}, {}, track_ ? NameType() : std::nullopt, {}, {}};
    hostseams::CallLog::Start();
    call();
    hostseams::CallLog::Stop();
    record.hostCalls = FoldCalls(hostseams::CallLog::Calls());
    setup();
    if (track_) record.nameTypeAfter = NameType();
    return &steps_->emplace_back(std::move(record));
  }

  TrackResult Drive(TrackSpec const& spec, animation::ContainerTrackData& parent,
                    TrackPtr const& source, TrackPtr const& copyFrom) {
    Make(spec, parent, source);
    if (!track_) return Basics(spec, true);
    if (spec.stored) {
      if (auto* s = Run(steps::kSetTrackName, [&] { track_->SetTrackName(spec.stored->name, {}); }))
        s->argument.value = spec.stored->name;
      if (auto* s = Run(steps::kLoad, [&] {
            animation::PropertyReader reader(spec.stored->properties);
            track_->Load(reader);
          }))
        s->argument = Properties(spec.stored->properties);
    } else if (spec.made == Made::Created) {
      Run(steps::kInitDisplayName, [&] { track_->InitDisplayName(spec.target); });
    }
    if (spec.copyFrom != kNoTrack) {
      if (auto* s = Run(steps::kCopyFrom, [&] { track_->CopyFrom(copyFrom); }))
        s->argument.value = ill_.tracks[spec.copyFrom].id;
    }
    if (spec.rename) {
      bool const byUser = spec.rename->byUser;
      if (auto* s = Run(steps::kRename, [&] {
            track_->SetTrackName(spec.rename->name, byUser ? new qmk::Operation : nullptr);
          }))
        s->argument.object = {{"name", spec.rename->name}, {"operation", byUser}};
    }
    if (spec.refresh)
      Run(steps::kRefresh,
          [&] { track_->UpdateDisplayName(spec.target ? spec.target->m_scene : nullptr); });
    return Observe(spec);
  }

  TrackPtr const& Track() const { return track_; }

 private:
  void Make(TrackSpec const& spec, animation::ContainerTrackData& parent, TrackPtr const& source) {
    auto const join = [&] {
      if (!track_) return;
      parent.AddChild(track_);
      timeline_.AddTrack(track_);
    };
    if (spec.made == Made::Copy) {
      auto const copy = [&] {
        if (source) track_ = animation::ItemTrackCreator::CopyItemTrackDataImpl(source);
      };
      if (auto* s = Run(steps::kCopy, copy, join)) s->argument.value = ill_.tracks[spec.source].id;
    } else if (spec.made == Made::Cut) {
      auto const cut = [&] {
        animation::EffectsSplitMapper mapper;
        if (source)
          track_ =
              source->CutTrackInRange(spec.cut->start, spec.cut->end, mapper, new qmk::Operation)
                  .DynamicCast<animation::ItemTrackData>();
      };
      if (auto* s = Run(steps::kCut, cut, join))
        s->argument.object = {{"track", ill_.tracks[spec.source].id},
                              {"start", spec.cut->start},
                              {"end", spec.cut->end}};
    } else {
      auto const create = [&] { track_ = animation::ItemTrackCreator::CreateItemTrackDataImpl(); };
      Run(steps::kCreate, create, [&] {
        join();
        track_->SetSelectionItem(spec.selectionItem);
        track_->SetLockedState(spec.locked);
      });
    }
  }

  template <class Key>
  static StepValue Properties(std::vector<std::pair<Key, std::int64_t>> const& properties) {
    StepValue v{{}, std::vector<std::pair<std::string, Scalar>>()};
    for (auto const& [key, value] : properties) v.object->emplace_back(std::string(key), value);
    return v;
  }

  TrackResult Basics(TrackSpec const& spec, bool none = false) const {
    TrackResult r;
    r.id = spec.id;
    r.made = spec.made;
    r.source = spec.source;
    r.copyFrom = spec.copyFrom;
    r.none = none;
    if (spec.target) r.target = ItemId(ill_, spec.target->m_selectionItem).value_or("");
    return r;
  }

  TrackResult Observe(TrackSpec const& spec) {
    TrackResult r = Basics(spec);
    r.nameTypeBefore = NameType();
    if (auto* s = Run(steps::kGetTargetDescription,
                      [&] { r.description = track_->GetTargetDescription(spec.target).str(); }))
      s->result.value = r.description;
    r.nameType = NameType();
    r.trackName = track_->TrackNameField();
    if (auto* s = Run(steps::kGetTrackName, [&] { r.shownName = track_->GetTrackName(); }))
      s->result.value = r.shownName;
    if (auto* s = Run(steps::kUsesTargetName, [&] { r.usesTargetName = track_->UsesTargetName(); }))
      s->result.value = r.usesTargetName;
    du::SmartPtr<qmk::SelectionItem> item;
    StepRecord* selection =
        Run(steps::kGetSelectionItem, [&] { item = track_->GetSelectionItem(); });
    r.selectionItem = ItemId(ill_, item);
    if (selection && r.selectionItem) selection->result.value = *r.selectionItem;
    // What the file keeps: Save with any suppression of saving in force.
    if (auto* s = Run(steps::kSave, [&] { r.saved = SavedBy(track_); }))
      s->result = Properties(r.saved);
    return r;
  }

  Illustration& ill_;
  animation::Timeline& timeline_;
  std::vector<StepRecord>* steps_;
  TrackPtr track_;
};

}  // namespace

std::vector<CallRun> FoldCalls(std::vector<std::string> const& calls) {
  constexpr std::size_t kLongest = 16;  // the longest sequence looked for
  auto const at = [&](std::size_t i) { return calls.begin() + static_cast<std::ptrdiff_t>(i); };
  std::vector<CallRun> runs;
  for (std::size_t i = 0; i < calls.size();) {
    std::size_t length = 1, times = 1;  // the shortest sequence that covers the most
    for (std::size_t l = 1; l <= kLongest; ++l) {
      std::size_t t = 1;
      while (i + (t + 1) * l <= calls.size() && std::equal(at(i), at(i + l), at(i + t * l))) ++t;
      if (t > 1 && t * l > times * length) length = l, times = t;
    }
    runs.push_back(CallRun{{at(i), at(i + length)}, times});
    i += length * times;
  }
  return runs;
}

DriveOutcome DriveTracks(Illustration& ill, std::optional<std::string> const& explainId) {
  du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
  timeline->SetSaveSuppressed(ill.saveSuppressed);
  // The module asks a track's parent for its type only, so one parent of each type serves; each
  // track leaves it and the timeline once driven, so that the tracks never all live at once.
  std::map<int, du::SmartPtr<animation::ContainerTrackData>> parents;
  // The tracks that later tracks take, each until its last taker has been driven.
  struct Kept {
    TrackPtr track;
    std::uint32_t takers;
  };
  boost::unordered_flat_map<std::uint32_t, Kept> kept;
  auto const take = [&](std::uint32_t index) {
    if (index == kNoTrack) return TrackPtr();
    auto found = kept.find(index);
    TrackPtr track = found->second.track;
    if (--found->second.takers == 0) kept.erase(found);
    return track;
  };
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
    TrackPtr const source = take(spec.source), copyFrom = take(spec.copyFrom);
    outcome.results.push_back(run.Drive(spec, *parent, source, copyFrom));
    if (spec.takers > 0)
      kept.emplace(static_cast<std::uint32_t>(outcome.results.size() - 1),
                   Kept{run.Track(), spec.takers});
    timeline->Clear();
    parent->ClearChildren();
  }
  return outcome;
}

}  // namespace illhost
