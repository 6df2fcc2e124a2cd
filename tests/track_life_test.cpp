// A track's life: random sequences of the host's operations on the module's tracks, each step
// checked against a small model of the name-type rules. RapidCheck shrinks a failing sequence
// to the shortest one it can find; RC_PARAMS sets the seed and the number of sequences.
#include "support.h"  // GoogleTest first: RapidCheck's integration builds on it

#include <rapidcheck.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <optional>

#include "key_symbols.h"

namespace {

using namespace testsupport;

// Targets of every kind that InitDisplayName tells apart; `described` ones also have their
// GetTargetDescription modelled (centre lines and callouts have their own tables).
enum Kind {
  kNone,
  kOtherKind,
  kNoItem,
  kInstance,
  kNoAct,
  kActHere,
  kActElsewhere,
  kFace,
  kCenterLine,
  kLineInNoScene,
  kCallout,
  kNote,
  kNoAnnotation,
  kCollection,
  kKinds
};
constexpr bool kFollowable[kKinds] = {false, false, false, true, false, true,  false,
                                      true,  true,  true,  true, false, false, false};
char const* const kShown[kKinds] = {"",     "Part shown", "",     "Part shown", "Part shown",
                                    "Here", "Elsewhere",  "Face", "CL",         "CL0",
                                    "C",    "N",          "NA",   "Coll"};
// Track names: the part's names (its SBOM instance's, its eBOM instance's), a face's name under
// the part, the shown texts, and others.
std::vector<std::string> const kNames = {"",     "Part shown", "part.1", "Sbom name", "SB-1",
                                         "Face", "part.1::f",  "x::f",   "N",         "Other"};

bool IsPartName(std::string const& name) {
  return name == "part.1" || name == "Sbom name" || name == "SB-1" || name == "Sbom shown";
}

// The shared fixture with what the commands use made public.
class TrackLife : public PartTest {
 public:
  using PartTest::M;
  using PartTest::UserOperation;
};

struct TrackModel {
  std::int16_t type = Int(Unresolved);
  std::string trackName, displayName;
  bool flag = false, locked = false, outside = false;  // outside: in no timeline
  int item = kNone;  // the kind of target whose item the track has
};
using Model = std::vector<TrackModel>;

struct Sut {
  explicit Sut(TrackLife& world) : w(world) {
    auto& m = w.M();
    auto const object = [&](du::Symbol const& type, int k) {
      return m.AddObjectItem(type, w.part, kShown[k]);
    };
    du::SmartPtr<qmk::SelectionItem> const items[kKinds] = {
        {},
        object(sel::Instance, kOtherKind),
        {},
        object(sel::Instance, kInstance),
        object(sel::Instance, kNoAct),
        object(sel::Instance, kActHere),
        object(sel::Instance, kActElsewhere),
        m.AddGeometryItem(sel::Face3D, w.part, kShown[kFace]),
        m.AddAnnotationItem(m.AddCenterLine(), kShown[kCenterLine]),
        m.AddAnnotationItem(m.AddCenterLine(), kShown[kLineInNoScene]),
        m.AddAnnotationItem(m.AddCallout("C", {}, ""), kShown[kCallout]),
        m.AddAnnotationItem(PlainAnnotation(du::Symbol("Note")), kShown[kNote]),
        m.AddAnnotationItem({}, kShown[kNoAnnotation]),
        object(sel::Collection, kCollection)};
    // The act instance is the one in the target's scene; the host refreshes a name only in a
    // scene that shows the item.
    items[kNoAct]->SetActInstance({});
    items[kActHere]->SetActInstance({});
    items[kActHere]->SetActInstanceIn(w.scene.get(), w.part);
    items[kActElsewhere]->SetActInstanceIn(w.scene.get(), {});
    // A target of another kind than an item's: below or above it, 1 or 3.
    int const otherKind = *rc::gen::elementOf(std::vector<int>{1, 3});
    for (int k = kOtherKind; k < kKinds; ++k) {
      if (items[k]) items[k]->SetShownOnlyIn(w.scene.get());
      targets[k] = k == kLineInNoScene ? hostmodel::Model::MakeTarget(items[k], {})
                                       : w.Target(items[k], k == kOtherKind ? otherKind : 2);
    }
  }
  TrackLife& w;
  du::SmartPtr<animation::Target> targets[kKinds];
  du::SmartPtr<animation::Timeline> timeline{new animation::Timeline};
  std::vector<du::SmartPtr<IllustrationItemTrack>> tracks;
};

using Command = rc::state::Command<Model, Sut>;

// Each command acts on a track `i` of the sequence and checks it against the model after.
struct OnTrack : Command {
  explicit OnTrack(Model const& s)
      : i(s.empty() ? 0 : *rc::gen::inRange<std::size_t>(0, s.size())) {}
  void checkPreconditions(Model const& s) const override { RC_PRE(i < s.size()); }
  void run(Model const& s, Sut& sut) const override {
    Act(s, sut);
    Model const after = nextState(s);
    for (std::size_t j = 0; j < after.size(); ++j) {
      TrackModel const& m = after[j];
      IllustrationItemTrack& t = *sut.tracks[j];
      RC_ASSERT(t.GetNameType() == m.type);
      RC_ASSERT(t.TrackNameField() == m.trackName);
      RC_ASSERT(t.DisplayNameField() == m.displayName);
      RC_ASSERT(t.DisplayNameFlag() == m.flag);
      RC_ASSERT(t.GetTrackName() == (m.type == Int(Follows) ? m.displayName : m.trackName));
      RC_ASSERT(t.UsesTargetName() == (m.type == Int(Follows)));
    }
  }
  virtual void Act(Model const& s, Sut& sut) const = 0;
  std::size_t i;
};

// A new track, in the timeline or outside any.
struct Create : Command {
  Create() : outside(*rc::gen::arbitrary<bool>()) {}
  void apply(Model& s) const override { s.emplace_back().outside = outside; }
  void run(Model const&, Sut& sut) const override {
    auto track = animation::ItemTrackCreator::CreateItemTrackDataImpl();
    sut.tracks.push_back(track.DynamicCast<IllustrationItemTrack>());
    if (!outside) sut.timeline->AddTrack(track);
  }
  void show(std::ostream& os) const override { os << "create, outside " << outside; }
  bool outside;
};

// A copy of a track of the sequence, or of a track that the host made (-1).
struct CopyByHook : Command {
  explicit CopyByHook(Model const& s) : from(*rc::gen::inRange<int>(-1, int(s.size()))) {}
  void checkPreconditions(Model const& s) const override { RC_PRE(from < int(s.size())); }
  void apply(Model& s) const override {
    TrackModel copy;
    if (from >= 0) copy = s[from];
    copy.trackName = from >= 0 ? s[from].trackName : "host";
    copy.outside = false;
    s.push_back(copy);
  }
  void run(Model const&, Sut& sut) const override {
    du::SmartPtr<animation::ItemTrackData> source(new animation::BasicItemTrackData);
    source->SetTrackName("host", {});
    if (from >= 0) source = sut.tracks[from];
    auto copy = animation::ItemTrackCreator::CopyItemTrackDataImpl(source);
    sut.tracks.push_back(copy.DynamicCast<IllustrationItemTrack>());
    RC_ASSERT(sut.tracks.back());
    sut.timeline->AddTrack(copy);
  }
  void show(std::ostream& os) const override { os << "copy " << from << " through the hook"; }
  int from;
};

struct CopyFrom : OnTrack {
  // Another track of the sequence, a track that the host made, or none.
  explicit CopyFrom(Model const& s) : OnTrack(s), from(*rc::gen::inRange<int>(-2, int(s.size()))) {}
  void apply(Model& s) const override {
    if (from < 0) return;
    s[i].type = s[from].type;
    s[i].displayName = s[from].displayName;
  }
  void Act(Model const&, Sut& sut) const override {
    du::SmartPtr<animation::ItemTrackData> other;
    if (from >= 0) other = sut.tracks[from];
    if (from == -1) other = new animation::BasicItemTrackData;
    sut.tracks[i]->CopyFrom(other);
  }
  void show(std::ostream& os) const override { os << i << " CopyFrom " << from; }
  int from;
};

struct Rename : OnTrack {
  explicit Rename(Model const& s)
      : OnTrack(s), name(*rc::gen::elementOf(kNames)), byUser(*rc::gen::arbitrary<bool>()) {}
  void apply(Model& s) const override {
    if (byUser) s[i].type = Int(Own);
    s[i].trackName = s[i].displayName = name;
  }
  void Act(Model const&, Sut& sut) const override {
    du::SmartPtr<qmk::Operation> operation;
    if (byUser) operation = sut.w.UserOperation();
    sut.tracks[i]->SetTrackName(name, operation);
    if (operation) RC_ASSERT(operation->Renames() == 1);  // the host's rename, to be undone
  }
  void show(std::ostream& os) const override { os << i << " SetTrackName " << name << byUser; }
  std::string name;
  bool byUser;
};

struct Init : OnTrack {
  explicit Init(Model const& s) : OnTrack(s), kind(*rc::gen::inRange<int>(0, kKinds)) {}
  void apply(Model& s) const override {
    s[i].type = Int(kFollowable[kind] ? Follows : Default);
    if (kFollowable[kind]) s[i].displayName = kShown[kind];
  }
  void Act(Model const&, Sut& sut) const override {
    sut.tracks[i]->InitDisplayName(sut.targets[kind]);
  }
  void show(std::ostream& os) const override { os << i << " InitDisplayName " << kind; }
  int kind;
};

// The host gives the track the item of a kind of target, and locks or unlocks it.
struct Attach : OnTrack {
  explicit Attach(Model const& s)
      : OnTrack(s), kind(*rc::gen::inRange<int>(0, kKinds)), lock(*rc::gen::arbitrary<bool>()) {}
  void apply(Model& s) const override { s[i].item = kind, s[i].locked = lock; }
  void Act(Model const&, Sut& sut) const override {
    auto const& target = sut.targets[kind];
    sut.tracks[i]->SetSelectionItem(target ? target->m_selectionItem : nullptr);
    sut.tracks[i]->SetLockedState(lock);
  }
  void show(std::ostream& os) const override { os << i << " item " << kind << " lock " << lock; }
  int kind;
  bool lock;
};

struct Update : OnTrack {
  using OnTrack::OnTrack;
  void apply(Model& s) const override {
    TrackModel& m = s[i];
    if (m.locked || m.type != Int(Follows) || !*kShown[m.item]) return;
    m.displayName = kShown[m.item];
    if (m.item == kFace) return;
    m.flag = true;
    if (m.trackName.empty()) m.trackName = m.displayName;
  }
  void Act(Model const&, Sut& sut) const override { sut.tracks[i]->UpdateDisplayName(sut.w.scene); }
  void show(std::ostream& os) const override { os << i << " UpdateDisplayName"; }
};

// A piece cut off a track; none when the host's hooks make the host's own tracks.
struct Cut : OnTrack {
  explicit Cut(Model const& s)
      : OnTrack(s),
        start(*rc::gen::inRange(0, 3)),
        end(*rc::gen::inRange(0, 3)),
        foreign(*rc::gen::arbitrary<bool>()) {}
  bool Made() const { return start < end && !foreign; }
  void apply(Model& s) const override {
    if (Made()) s.push_back(s[i]), s.back().outside = false;
  }
  void Act(Model const&, Sut& sut) const override {
    animation::EffectsSplitMapper mapper;
    auto const operation = sut.w.UserOperation();
    std::optional<HostTrackHooks> hooks;
    if (foreign) hooks.emplace();
    auto piece = sut.tracks[i]->CutTrackInRange(start, end, mapper, operation);
    RC_ASSERT(bool(piece) == Made());
    if (!piece) return;
    RC_ASSERT(mapper.Cuts().size() == 1u);
    RC_ASSERT(mapper.Cuts()[0].start == start && mapper.Cuts()[0].end == end);
    RC_ASSERT(mapper.Cuts()[0].operation == operation.get());
    sut.tracks.push_back(piece.DynamicCast<IllustrationItemTrack>());
    sut.timeline->AddTrack(piece);
  }
  void show(std::ostream& os) const override {
    os << i << " cut " << start << ".." << end << ", foreign " << foreign;
  }
  long long start, end;
  bool foreign;
};

struct Save : OnTrack {
  explicit Save(Model const& s) : OnTrack(s), suppressed(*rc::gen::arbitrary<bool>()) {}
  void apply(Model&) const override {}
  void Act(Model const& s, Sut& sut) const override {
    sut.timeline->SetSaveSuppressed(suppressed);
    animation::PropertyWriter writer;
    sut.tracks[i]->Save(writer);
    using Entries = std::vector<std::pair<du::Symbol, std::int64_t>>;
    RC_ASSERT(writer.Entries() == (suppressed || s[i].outside
                                       ? Entries{}
                                       : Entries{{illanimation::keys::NameType, s[i].type}}));
  }
  void show(std::ostream& os) const override { os << i << " Save, suppressed " << suppressed; }
  bool suppressed;
};

struct Load : OnTrack {
  // Any stored value: 16-bit ones and beyond.
  explicit Load(Model const& s)
      : OnTrack(s),
        present(*rc::gen::arbitrary<bool>()),
        stored(*rc::gen::oneOf(rc::gen::cast<std::int64_t>(rc::gen::arbitrary<std::int16_t>()),
                               rc::gen::arbitrary<std::int64_t>())) {}
  void apply(Model& s) const override {
    s[i].type = present ? static_cast<std::int16_t>(stored & 0xFFFF) : Int(Unresolved);
  }
  void Act(Model const&, Sut& sut) const override {
    std::vector<std::pair<du::Symbol, std::int64_t>> entries{{du::Symbol("other"), 5}};
    if (present) entries.emplace_back(illanimation::keys::NameType, stored);
    animation::PropertyReader reader(entries);
    sut.tracks[i]->Load(reader);
  }
  void show(std::ostream& os) const override { os << i << " Load " << present << ' ' << stored; }
  bool present;
  std::int64_t stored;
};

struct Describe : OnTrack {
  explicit Describe(Model const& s)
      : OnTrack(s),
        kind(*rc::gen::elementOf(std::vector<int>{kNone, kOtherKind, kNoItem, kInstance, kNoAct,
                                                  kActHere, kActElsewhere, kFace, kNote,
                                                  kNoAnnotation, kCollection})) {}
  // The classification of an unresolved track: whether its name equals the target's shown
  // text, then what the kind of target says.
  std::int16_t Classified(std::string const& name) const {
    bool const same = name == kShown[kind];
    NameType const ownOrDefault = same ? Default : Own;
    if (kind == kOtherKind || kind == kNote || kind == kCollection) return Int(ownOrDefault);
    if (kind == kInstance || kind == kActHere) return Int(same || IsPartName(name) ? Follows : Own);
    if (kind == kNoAct || kind == kActElsewhere) return Int(same ? Follows : Unresolved);
    auto const end = name.find("::");
    if (kind == kFace)
      return Int(same || (end != std::string::npos && IsPartName(name.substr(0, end))) ? Follows
                                                                                       : Own);
    return Int(Unresolved);
  }
  void apply(Model& s) const override {
    if (kind != kNone && s[i].type == Int(Unresolved)) s[i].type = Classified(s[i].trackName);
  }
  void Act(Model const& s, Sut& sut) const override {
    du::Symbol const shown = sut.tracks[i]->GetTargetDescription(sut.targets[kind]);
    RC_ASSERT(shown.str() == (nextState(s)[i].type == Int(Follows) ? kShown[kind] : ""));
  }
  void show(std::ostream& os) const override { os << i << " GetTargetDescription " << kind; }
  int kind;
};

// The tracks, and every reference that the sequence took, are given back at its end.
RC_GTEST_FIXTURE_PROP(TrackLife, EachStepFollowsTheNameTypeRules, ()) {
  Sut sut(*this);
  hostseams::LedgerCheck const ledger;
  rc::state::check(Model{}, sut,
                   rc::state::gen::execOneOfWithArgs<Create, CopyByHook, CopyFrom, Rename, Init,
                                                     Attach, Update, Cut, Save, Load, Describe>());
  sut.tracks.clear();
  sut.timeline->Clear();
  RC_ASSERT(ledger.Difference() == "");
}

}  // namespace
