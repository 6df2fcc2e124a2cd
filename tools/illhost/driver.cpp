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
  StepRecord* Run(
      Step step, Call const& call, Setup const& setup = [] {}) {
    if (!steps_) return call(), setup(), nullptr;
    StepRecord record{step, {}, {}, track_ ? NameType() : std::nullopt, {}, {}};
    hostseams::CallLog::Start();
    call();
    hostseams::CallLog::Stop();
    record.hostCalls = FoldCalls(hostseams::CallLog::Calls());
    setup();
    if (track_) record.nameTypeAfter = NameType();
    return &steps_->emplace_back(std::move(record));
  }

  // `source` and `copyFrom` are the tracks that the spec names as such, as they stand.
  TrackResult Drive(TrackSpec const& spec, animation::ContainerTrackData& parent,
                    TrackPtr const& source, TrackPtr const& copyFrom) {
    Make(spec, parent, source);
    if (!track_) {
      TrackResult none = Basics(spec);
      none.none = true;
      return none;
    }
    if (spec.stored) {
      if (auto* s = Run(Step::SetTrackName, [&] { track_->SetTrackName(spec.stored->name, {}); }))
        s->argument.value = spec.stored->name;
      if (auto* s = Run(Step::Load, [&] {
            animation::PropertyReader reader(spec.stored->properties);
            track_->Load(reader);
          }))
        s->argument = Properties(spec.stored->properties);
    } else if (spec.made == Made::Created) {
      Run(Step::InitDisplayName, [&] { track_->InitDisplayName(spec.target); });
    }
    if (spec.copyFrom != kNoTrack) {
      if (auto* s = Run(Step::CopyFrom, [&] { track_->CopyFrom(copyFrom); }))
        s->argument.value = ill_.tracks[spec.copyFrom].id;
    }
    if (spec.rename) {
      bool const byUser = spec.rename->byUser;
      if (auto* s = Run(Step::Rename, [&] {
            track_->SetTrackName(spec.rename->name, byUser ? new qmk::Operation : nullptr);
          }))
        s->argument.object = {{"name", spec.rename->name}, {"operation", byUser}};
    }
    if (spec.refresh)
      Run(Step::Refresh,
          [&] { track_->UpdateDisplayName(spec.target ? spec.target->m_scene : nullptr); });
    return Observe(spec);
  }

  TrackPtr const& Track() const { return track_; }

 private:
  // Makes the track with the create hook, the copy hook or a cut, and puts it in its parent.
  void Make(TrackSpec const& spec, animation::ContainerTrackData& parent, TrackPtr const& source) {
    auto const join = [&] {
      if (!track_) return;
      parent.AddChild(track_);
      timeline_.AddTrack(track_);
    };
    if (spec.made == Made::Copy) {
      if (auto* s = Run(
              Step::Copy,
              [&] {
                if (source) track_ = animation::ItemTrackCreator::CopyItemTrackDataImpl(source);
              },
              join))
        s->argument.value = ill_.tracks[spec.source].id;
    } else if (spec.made == Made::Cut) {
      auto const cut = [&] {
        animation::EffectsSplitMapper mapper;
        if (source)
          track_ =
              source->CutTrackInRange(spec.cut->start, spec.cut->end, mapper, new qmk::Operation)
                  .DynamicCast<animation::ItemTrackData>();
      };
      if (auto* s = Run(Step::Cut, cut, join))
        s->argument.object = {{"track", ill_.tracks[spec.source].id},
                              {"start", spec.cut->start},
                              {"end", spec.cut->end}};
    } else {
      Run(
          Step::Create, [&] { track_ = animation::ItemTrackCreator::CreateItemTrackDataImpl(); },
          [&] {
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

  TrackResult Basics(TrackSpec const& spec) const {
    TrackResult r;
    r.id = spec.id;
    r.made = spec.made;
    r.source = spec.source;
    r.copyFrom = spec.copyFrom;
    if (spec.target) r.target = ItemId(ill_, spec.target->m_selectionItem).value_or("");
    return r;
  }

  TrackResult Observe(TrackSpec const& spec) {
    TrackResult r = Basics(spec);
    r.nameTypeBefore = NameType();
    if (auto* s = Run(Step::GetTargetDescription,
                      [&] { r.description = track_->GetTargetDescription(spec.target).str(); }))
      s->result.value = r.description;
    r.nameType = NameType();
    r.trackName = track_->TrackNameField();
    if (auto* s = Run(Step::GetTrackName, [&] { r.shownName = track_->GetTrackName(); }))
      s->result.value = r.shownName;
    if (auto* s = Run(Step::UsesTargetName, [&] { r.usesTargetName = track_->UsesTargetName(); }))
      s->result.value = r.usesTargetName;
    du::SmartPtr<qmk::SelectionItem> item;
    StepRecord* selection = Run(Step::GetSelectionItem, [&] { item = track_->GetSelectionItem(); });
    r.selectionItem = ItemId(ill_, item);
    if (selection && r.selectionItem) selection->result.value = *r.selectionItem;
    // What the file keeps: Save with any suppression of saving in force.
    if (auto* s = Run(Step::Save, [&] { r.saved = SavedBy(track_); }))
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
  std::vector<CallRun> runs;
  std::size_t i = 0;
  auto const repeats = [&](std::size_t length) {  // how often calls[i, i + length) recurs
    std::size_t times = 1;
    while (i + (times + 1) * length <= calls.size() &&
           std::equal(calls.begin() + static_cast<std::ptrdiff_t>(i),
                      calls.begin() + static_cast<std::ptrdiff_t>(i + length),
                      calls.begin() + static_cast<std::ptrdiff_t>(i + times * length)))
      ++times;
    return times;
  };
  while (i < calls.size()) {
    std::size_t length = 1, times = 1;  // the shortest sequence that covers the most
    for (std::size_t l = 1; l <= kLongest && i + 2 * l <= calls.size(); ++l) {
      std::size_t const t = repeats(l);
      if (t > 1 && t * l > times * length) length = l, times = t;
    }
    if (times == 1 && !runs.empty() && runs.back().times == 1) {
      runs.back().calls.push_back(calls[i++]);
      continue;
    }
    auto const from = calls.begin() + static_cast<std::ptrdiff_t>(i);
    runs.push_back(CallRun{{from, from + static_cast<std::ptrdiff_t>(length)}, times});
    i += length * times;
  }
  return runs;
}

DriveOutcome DriveTracks(Illustration& ill, std::optional<std::string> const& explainId) {
  du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
  timeline->SetSaveSuppressed(ill.saveSuppressed);
  // The module asks a track's parent for its type only: one parent of each type serves every
  // track, and each track leaves its parent and the timeline once driven, so that the tracks
  // of a large illustration never all live at once.
  std::map<int, du::SmartPtr<animation::ContainerTrackData>> parents;
  // The tracks that later tracks take, as they stand after their own steps, each until its last
  // taker has been driven.
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
