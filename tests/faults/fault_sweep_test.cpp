// Fault sweep: each operation runs with the host failing at its 1st, 2nd, ... call until a run
// completes. At every step the host's exception must come through unchanged, every counted
// reference taken must be given back, and the track must be left as it was or as the
// operation leaves it when it completes.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <tuple>

#include "illanimation/IllAnimationInitializer.h"
#include "illhost/rows.h"
#include "key_symbols.h"
#include "standin_texts.h"
#include "support.h"

namespace {

using namespace testsupport;
using hostmodel::Part;
using hostmodel::TextPart;

// One target of the sweep and what the model has behind it.
struct Case {
  std::string what;
  du::SmartPtr<animation::Target> target;
  std::string name;
  bool underFolder = false;
  du::SmartPtr<qmannotations::Callout> callout;
  du::SmartPtr<qmk::illustration::SbomInstance> sbom;
  qmannotations::LabelContentList content;
};

// Name type, track name, display name and display-name flag.
using TrackState = std::tuple<std::int16_t, std::string, std::string, bool>;

TrackState StateOf(IllustrationItemTrack const& track) {
  return {track.GetNameType(), track.TrackNameField(), track.DisplayNameField(),
          track.DisplayNameFlag()};
}

// Whether field I of the state after a fault is the one before the run or after a whole run.
template <std::size_t I>
bool Kept(TrackState const& after, TrackState const& before, TrackState const& completed) {
  return std::get<I>(after) == std::get<I>(before) || std::get<I>(after) == std::get<I>(completed);
}

struct Operation {
  char const* name;
  std::function<void(IllustrationItemTrack&, Case const&)> run;
  // Name types that the operation sets on its way to the one that it ends with.
  std::vector<NameType> passes = {};
};

class FaultSweep : public PartTest {
 protected:
  FaultSweep() {
    sbom->SetProperty("g", "sBOM Name", du::Symbol("Bolt"));
    auto parentSbom = M().AddSbom("s0", "SB-0", "Parent name", "Parent shown");
    parentSbom->SetProperty("g", "sBOM Name", du::Symbol("Frame"));
    sbom->SetParent(parentSbom.get());
    folder_ = new animation::ContainerTrackData(animation::TT_AnnotationFolder);

    auto line = M().AddCenterLine();
    line->AddObject(part);
    auto const sbomName = Part("g", "sBOM Name", "Value");
    auto const parentName = Part("g", "sBOM Name", "Value", "Parent");
    auto named = Callout("C", {sbomName}, "s1");
    auto typed = Callout("T", {TextPart("at "), sbomName, parentName}, "s1", 1, 2);
    auto plain = Callout("P", {TextPart("text\nmore")});
    auto markdown = Callout("M", {TextPart("**b**")});
    markdown->SetMarkdown(true);
    auto bare = Bare("B", "s1");
    auto group = Group({named, plain, {}, markdown, bare}, true);
    // A parent part of an SBOM instance without parent, and a missing part.
    auto orphan = Callout("O", {{}, parentName}, "s0", 1, 2);
    du::SmartPtr<qmk::SelectionItem> noObject(new qmk::SelectionItem(sel::Instance));
    noObject->SetActInstance(part);
    auto noAct = M().AddObjectItem(sel::Instance, part, "Part shown");
    noAct->SetActInstance({});
    auto const content = "x" + qmk::Instance::s_content_symbolPrefix.str();
    auto const generic = standin::kDefaultGenericText;

    Add("instance", ObjectTarget(sel::Instance, "Part shown"), "SB-1");
    Add("assembly", ObjectTarget(sel::Assembly, "Part shown"), "Part shown");
    Add("instance without act instance", Target(noAct), "Mine");
    Add("instance of kind 1", ObjectTarget(sel::Instance, "P", 1), "P");
    Add("face", GeometryTarget(sel::Face3D, "Face 7"), "SB-1::Face 3");
    Add("model annotation", GeometryTarget(sel::ModelAnnotation3D, "MA"), "x::y");
    Add("collection", ObjectTarget(sel::Collection, "Coll"), "Coll");
    Add("no selection item", Target({}), "");
    Add("centre line", AnnotationTarget(line, "CL"), "Sbom name");
    Add("centre line with a generic name", AnnotationTarget(line, generic), "x");
    Add("centre line under a folder", AnnotationTarget(line, "CL"), "CL", true);
    Add("pending instance", PendingCenterLine(sel::Instance, {{"instance", "i1"}}), "SB-1");
    Add("pending content", PendingCenterLine(sel::Instance, {{"instance", content}}), "x");
    Add("pending collection", PendingCenterLine(sel::Collection, {{"sbomInstanceId", "s1"}}),
        "SB-1");
    Add("pending face", PendingCenterLine(sel::Face3D, {{"parent_instance", "i1"}}), "Mine");
    Add("pending face content", PendingCenterLine(sel::Face3D, {{"parent_instance", content}}),
        "x");
    Add("centre line with nothing to resolve", AnnotationTarget(M().AddCenterLine(), "CL"), "CL");
    Add("centre-line class that is no centre line",
        AnnotationTarget(PlainAnnotation(qmannotations::ConstStrings::qmCenterLine), generic), "x");
    Add("callout-label class that is no callout",
        AnnotationTarget(PlainAnnotation(qmannotations::ConstStrings::qmCalloutLabel), "L"), "L");
    Add("instance item that designates no object", Target(noObject), "SB-1");
    Add("callout without definition", AnnotationTarget(bare, "B"), "Item SB-1");
    Add("typed callout of a parentless instance", AnnotationTarget(orphan, "O"), "O: x");
    Add("centre line without object", PendingCenterLine(sel::Face3D, {{"parent_instance", "none"}}),
        "x");
    Add("callout named by its label", AnnotationTarget(named, "C"), "C: Bolt");
    Add("callout named by its SBOM name", AnnotationTarget(named, "C"), "Item SB-1");
    Add("typed callout", AnnotationTarget(typed, "T"), "T: at SB-1Frame");
    Add("plain callout", AnnotationTarget(plain, "P"), "Item text");
    Add("markdown callout", AnnotationTarget(markdown, "M"), "M: b");
    Add("callout with nothing to show", AnnotationTarget(Callout("", {}), "E"), "x");
    Add("callout group", AnnotationTarget(group, "G"), "G: SB-1, text, , b");
    Add("plain callout group", AnnotationTarget(Group({named, plain}), "G"), "G: SB-1, text");
    Add("callout in a plain scene",
        hostmodel::Model::MakeTarget(M().AddAnnotationItem(named, "C"), M().AddPlainScene()), "C");
    Add("other annotation", AnnotationTarget(PlainAnnotation(du::Symbol("Note")), "N"), "Mine");
    Add("missing annotation", AnnotationTarget({}, "A"), "A");
  }

  void Add(std::string what, du::SmartPtr<animation::Target> target, std::string name,
           bool underFolder = false) {
    Case c{std::move(what), std::move(target), std::move(name), underFolder, {}, {}, {}};
    if (c.target->m_selectionItem)
      c.callout = illanimation::AnnotationOf(c.target).DynamicCast<qmannotations::Callout>();
    if (c.callout) {
      c.sbom = illanimation::FindCalloutSbomInstance(c.callout);
      if (auto definition = c.callout->GetDefinition()) definition->GetTextContent(c.content);
    }
    cases_.push_back(std::move(c));
  }

  // A track in a timeline of its own, named for the case and of the given name type.
  du::SmartPtr<IllustrationItemTrack> Fresh(Case const& c, NameType type,
                                            du::SmartPtr<animation::Timeline>& timeline) {
    timeline = new animation::Timeline;
    auto track = MakeTrack(timeline, c.name);
    track->SetSelectionItem(c.target->m_selectionItem);
    if (c.underFolder) track->SetParent(folder_.get());
    track->SetNameType(type);
    return track;
  }

  // Runs the operation with the host failing at call 1, 2, ... until it completes.
  void Sweep(Operation const& operation, Case const& c, NameType type) {
    std::string const where =
        std::string(operation.name) + " on " + c.what + " (type " + std::to_string(Int(type)) + ")";
    du::SmartPtr<animation::Timeline> timeline;
    TrackState completed{};
    {
      auto track = Fresh(c, type, timeline);
      Recorded([&] { operation.run(*track, c); });
      completed = StateOf(*track);
      CheckCalls(where);
    }
    for (std::int64_t n = 1; n < 10000; ++n) {
      auto track = Fresh(c, type, timeline);
      TrackState const before = StateOf(*track);
      bool failed = false;
      hostseams::LedgerCheck ledger;
      hostseams::Faults::FailAt(n);
      try {
        operation.run(*track, c);
      } catch (hostseams::HostFault const& fault) {
        failed = true;
        EXPECT_EQ(fault.m_number, n) << where << ": the fault came through altered";
      } catch (...) {
        failed = true;
        ADD_FAILURE() << where << " at call " << n << ": an exception that the host did not throw";
      }
      if (failed) faulted_.insert(operation.name);
      bool const fired = !hostseams::Faults::Armed();
      hostseams::Faults::Disarm();
      ++swept_;
      EXPECT_TRUE(ledger.Balanced()) << where << " at call " << n << '\n' << ledger.Difference();
      if (!failed) {
        EXPECT_FALSE(fired) << where << ": the fault at call " << n << " was swallowed";
        EXPECT_EQ(StateOf(*track), completed) << where << ": a run without fault ends differently";
        return;
      }
      // Name type, track name and display name are each as before or as a completed run has them.
      TrackState const after = StateOf(*track);
      bool const passing =
          std::any_of(operation.passes.begin(), operation.passes.end(),
                      [&](NameType passed) { return std::get<0>(after) == Int(passed); });
      EXPECT_TRUE((Kept<0>(after, before, completed) || passing) &&
                  Kept<1>(after, before, completed) && Kept<2>(after, before, completed))
          << where << " at call " << n << ": " << ::testing::PrintToString(after);
      if (::testing::Test::HasFailure()) return;
    }
    ADD_FAILURE() << where << " never completes";
  }

  // The host calls of a fault-free run, in order, against its row of host_calls.tsv. With
  // ILL_WRITE_HOST_CALLS naming a file, the rows are appended there instead, to renew the table.
  static void CheckCalls(std::string const& run) {
    std::string const where =
        ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::string(": ") + run;
    std::string calls;
    for (std::string const& call : hostseams::CallLog::Calls()) {  // by class and operation
      std::size_t const at = call.rfind("::", call.rfind("::") - 1);
      calls += (calls.empty() ? "" : " ") + (at == std::string::npos ? call : call.substr(at + 2));
    }
    if (char const* renewed = std::getenv("ILL_WRITE_HOST_CALLS")) {
      std::ofstream(renewed, std::ios::app) << where << '\t' << calls << '\n';
      return;
    }
    static auto const* const table = [] {
      auto* rows = new std::map<std::string, std::string>;
      test_rows::ForEachRow(FAULTS_DATA_DIR "/host_calls.tsv",
                            [&](auto const& row) { (*rows)[row.at(0)] = row.at(1); });
      return rows;
    }();
    auto const found = table->find(where);
    EXPECT_EQ(calls, found == table->end() ? "(no row in host_calls.tsv)" : found->second) << where;
  }

  void SweepAll(std::vector<Operation> const& operations, std::vector<NameType> const& types) {
    for (auto const& c : cases_)
      for (auto const& operation : operations)
        for (NameType type : types) Sweep(operation, c, type);
    std::cout << "[ fault sweep ] " << swept_ << " (operation, target, N) cases\n";
    EXPECT_GT(swept_, 300u);
    // An operation that calls the host on no target is never failed: its rows prove nothing.
    for (auto const& operation : operations)
      EXPECT_EQ(faulted_.count(operation.name), 1u) << operation.name << " makes no host call";
  }

  static std::vector<Operation> TrackOperations() {
    auto const source = [](Case const& c) {
      du::SmartPtr<IllustrationItemTrack> other(new IllustrationItemTrack);
      other->SetTrackName(c.name + " copy", {});
      other->SetNameType(NameType::FromTarget);
      return other;
    };
    return {
        {"GetTargetDescription", [](auto& t, auto& c) { t.GetTargetDescription(c.target); }},
        {"InitDisplayName",
         [](auto& t, auto& c) { t.InitDisplayName(c.target); },
         {NameType::Default}},
        {"UpdateDisplayName", [](auto& t, auto& c) { t.UpdateDisplayName(c.target->m_scene); }},
        {"GetSelectionItem", [](auto& t, auto&) { t.GetSelectionItem(); }},
        {"SetTrackName by the user",
         [](auto& t, auto& c) {
           t.SetTrackName(c.name + "!", du::SmartPtr<qmk::Operation>(new qmk::Operation));
         }},
        {"SetTrackName to the display name",
         [](auto& t, auto&) { t.SetTrackName(t.DisplayNameField(), {}); }},
        {"CopyFrom", [source](auto& t, auto& c) { t.CopyFrom(source(c)); }},
        {"copy",
         [](auto& t, auto&) {
           animation::ItemTrackCreator::CopyItemTrackDataImpl(
               du::SmartPtr<animation::ItemTrackData>(&t));
         }},
        {"CutTrackInRange",
         [](auto& t, auto&) {
           animation::EffectsSplitMapper mapper;
           t.CutTrackInRange(0, 10, mapper, {});
         }},
        {"Save",
         [](auto& t, auto&) {
           animation::PropertyWriter writer;
           t.Save(writer);
         }},
        {"Load",
         [](auto& t, auto&) {
           animation::PropertyReader reader(
               {{du::Symbol("other"), 1}, {illanimation::keys::NameType, 0x10001}});
           t.Load(reader);
         }},
        {"ResolveCenterLineTarget",
         [](auto& t, auto& c) {
           t.ResolveCenterLineTarget(c.target, false);
           t.ResolveCenterLineTarget(c.target, true);
         }},
        {"ClassifyNameType", [](auto& t, auto& c) { t.ClassifyNameType(c.target, c.name == "P"); }},
        {"ClassifyCalloutLabelName",
         [](auto& t, auto& c) {
           if (!c.callout) return;
           du::Symbol text = illanimation::GetCalloutLabelText(c.callout, c.target->m_scene.get());
           t.ClassifyCalloutLabelName(c.callout, text);
         }},
        {"ClassifyNameByLabelContent",
         [](auto& t, auto& c) {
           if (c.callout)
             t.ClassifyNameByLabelContent(c.sbom, c.content, du::Symbol("T: at BoltFrame"));
         }},
    };
  }

  static std::vector<Operation> FreeOperations() {
    return {
        {"AnnotationOf", [](auto&, auto& c) { illanimation::AnnotationOf(c.target); }},
        {"ApplicationSbomTree", [](auto&, auto&) { illanimation::ApplicationSbomTree(); }},
        {"MatchesInstanceName",
         [](auto&, auto& c) {
           if (auto instance = animation::engineutils::GetActInstance(c.target->m_selectionItem,
                                                                      c.target->m_scene))
             illanimation::MatchesInstanceName(instance, c.name);
           if (c.sbom) illanimation::MatchesInstanceName(c.sbom, c.name);
         }},
        {"callout lookups",
         [](auto&, auto& c) {
           if (!c.callout) return;
           illanimation::FindCalloutSbomInstance(c.callout);
           illanimation::ShowsSbomName(c.callout);
           illanimation::GetCalloutLabelText(c.callout, c.target->m_scene.get());
         }},
        {"copy of a track that the host made",
         [](auto&, auto&) {
           du::SmartPtr<animation::ItemTrackData> basic(new animation::BasicItemTrackData);
           animation::ItemTrackCreator::CopyItemTrackDataImpl(basic);
         }},
        {"QMDllCreateComponent",
         [](auto&, auto&) {
           du::SmartPtr<du::RefCounted> component;
           QMDllCreateComponent(standin::kAnimationComponentType, nullptr,
                                standin::kAnimationComponentName, component);
         }},
    };
  }

  du::SmartPtr<animation::ContainerTrackData> folder_;
  std::vector<Case> cases_;
  std::size_t swept_ = 0;
  std::set<std::string> faulted_;  // operations that a fault reached
};

TEST_F(FaultSweep, TrackOperationsPassHostFaultsThroughAndLeaveTheTrackConsistent) {
  SweepAll(TrackOperations(), {NameType::Unresolved, NameType::FromTarget, NameType::Default});
}

TEST_F(FaultSweep, FreeOperationsPassHostFaultsThroughAndBalanceTheirReferences) {
  hostseams::TraceCapture::Start();
  SweepAll(FreeOperations(), {NameType::Unresolved});
  hostseams::TraceCapture::Stop();
}

// With the illustration closed the world has no instance tree and the application no SBOM
// tree; the module must find nothing rather than fail.
TEST_F(FaultSweep, OperationsAfterTheIllustrationIsClosed) {
  model_.reset();
  auto operations = TrackOperations();
  for (auto& operation : FreeOperations()) operations.push_back(operation);
  hostseams::TraceCapture::Start();
  SweepAll(operations, {NameType::Unresolved});
  hostseams::TraceCapture::Stop();
}

// Copies and assignments of the exported initializer install nothing, and keep each object's
// reference count its own: copying a count would free an object that is still held, or never
// free it.
TEST(Initializer, CopiesAndAssignmentsInstallNothingAndKeepTheirOwnReferenceCounts) {
  using illanimation::IllAnimationInitializer;
  du::SmartPtr<IllAnimationInitializer> original(new IllAnimationInitializer);
  du::SmartPtr<IllAnimationInitializer> held = original;
  du::SmartPtr<IllAnimationInitializer> copy, moved;
  {
    HostTrackHooks hostHooks;
    copy = new IllAnimationInitializer(*original);
    moved = new IllAnimationInitializer(std::move(*held));
    *copy = *original;
    *moved = std::move(*original);
    auto const made = animation::ItemTrackCreator::CreateItemTrackDataImpl();
    EXPECT_FALSE(made.DynamicCast<IllustrationItemTrack>());
    EXPECT_FALSE(animation::ItemTrackCreator::CopyItemTrackDataImpl(made)
                     .DynamicCast<IllustrationItemTrack>());
  }
  EXPECT_EQ(original->GetReferenceCount(), 2);
  EXPECT_EQ(copy->GetReferenceCount(), 1);
  EXPECT_EQ(moved->GetReferenceCount(), 1);
}

}  // namespace
