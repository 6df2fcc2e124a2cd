#include "support.h"

namespace {

using namespace testsupport;

using NamingFromTarget = PartTest;

TEST_F(NamingFromTarget, InitDisplayNameDecidesWhetherTheNameFollowsTheTarget) {
  auto centerLine = M().AddCenterLine();
  auto callout = M().AddCallout("C", {}, "");
  auto noAct = M().AddObjectItem(sel::Instance, part, "Part");
  noAct->SetActInstance({});
  // The act instance is the one in the target's scene.
  auto actHereOnly = M().AddObjectItem(sel::Instance, part, "Part");
  actHereOnly->SetActInstance({});
  actHereOnly->SetActInstanceIn(scene.get(), part);
  auto actElsewhereOnly = M().AddObjectItem(sel::Instance, part, "Part");
  actElsewhereOnly->SetActInstanceIn(scene.get(), {});
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    NameType expected;
  } const rows[] = {
      {"empty target", {}, Default},
      {"kind other than 2", ObjectTarget(sel::Instance, "Part", 1), Default},
      {"no selection item", Target({}), Default},
      {"instance", ObjectTarget(sel::Instance, "Part"), Follows},
      {"assembly", ObjectTarget(sel::Assembly, "Part"), Follows},
      {"instance without act instance", Target(noAct), Default},
      {"instance with an act instance in the target's scene only", Target(actHereOnly), Follows},
      {"instance with an act instance in other scenes only", Target(actElsewhereOnly), Default},
      {"centre line", AnnotationTarget(centerLine, "CL"), Follows},
      {"centre line in no scene",
       hostmodel::Model::MakeTarget(M().AddAnnotationItem(centerLine, "CL"), {}), Follows},
      {"callout label", AnnotationTarget(callout, "C"), Follows},
      {"other annotation", AnnotationTarget(PlainAnnotation(du::Symbol("Note")), "N"), Default},
      {"annotation item without annotation", AnnotationTarget({}, "N"), Default},
      {"face", GeometryTarget(sel::Face3D, "F"), Follows},
      {"model annotation", GeometryTarget(sel::ModelAnnotation3D, "MA"), Follows},
      {"collection", ObjectTarget(sel::Collection, "Coll"), Default},
  };
  for (auto const& row : rows) {
    for (NameType before : {Own, Follows, Unresolved}) {
      auto track = NewTrack("old", before);
      if (row.target) row.target->m_displayName = "host name";
      track->InitDisplayName(row.target);
      EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
      EXPECT_EQ(track->DisplayNameField(), row.expected == Follows ? "host name" : "old")
          << row.what;
    }
  }
}

TEST_F(NamingFromTarget, GeometryTargetsQualifyWithoutAskingForInstanceOrAnnotation) {
  auto track = NewTrack();
  Recorded([&] { track->InitDisplayName(GeometryTarget(sel::Face3D, "F")); });
  EXPECT_EQ(hostseams::CallLog::Count("animation::engineutils::GetActInstance"), 0);
  EXPECT_EQ(hostseams::CallLog::Count("animation::engineutils::GetAnnotationFromTarget"), 0);
}

// An item whose display name says how often it was asked for it.
template <class Item>
class CountingItem : public Item {
 public:
  using Item::Item;
  std::string GetDisplayName() const override { return "call " + std::to_string(++calls_); }

 private:
  mutable int calls_ = 0;
};

TEST_F(NamingFromTarget, UpdateDisplayNameRefreshesUnlockedFollowingTracksFromTheirItem) {
  // A geometry item is asked twice and its second answer stays; any other item is asked once,
  // and the host's refresh sees the display-name flag already set: it fills an empty track name.
  auto const instance = [&] {
    return new CountingItem<qmk::ObjectSelectionItem>(sel::Instance, part);
  };
  struct Row {
    char const* what;
    du::SmartPtr<qmk::SelectionItem> item;
    NameType type;
    bool locked;
    char const* displayName;
    char const* trackName;
    bool refreshedByTheHost;
  } const rows[] = {
      {"locked", instance(), Follows, true, "", "", false},
      {"own name", instance(), Own, false, "", "", false},
      {"default name", instance(), Default, false, "", "", false},
      {"unresolved", instance(), Unresolved, false, "", "", false},
      {"face", new CountingItem<qmk::GeometrySelectionItem>(sel::Face3D, part), Follows, false,
       "call 2", "", false},
      {"model annotation",
       new CountingItem<qmk::GeometrySelectionItem>(sel::ModelAnnotation3D, part), Follows, false,
       "call 2", "", false},
      {"instance", instance(), Follows, false, "call 1", "call 1", true},
      {"annotation", new CountingItem<qmk::SelectionItem>(sel::Annotation), Follows, false,
       "call 1", "call 1", true},
  };
  for (auto const& row : rows) {
    auto track = NewTrack("", row.type);
    track->SetSelectionItem(row.item);
    row.item->SetShownOnlyIn(scene.get());
    track->SetLockedState(row.locked);
    Recorded([&] { track->UpdateDisplayName(scene); });
    EXPECT_EQ(track->DisplayNameField(), row.displayName) << row.what;
    EXPECT_EQ(track->TrackNameField(), row.trackName) << row.what;
    EXPECT_EQ(track->DisplayNameFlag(), row.refreshedByTheHost) << row.what;
    EXPECT_EQ(hostseams::CallLog::Count("animation::ItemTrackData::UpdateDisplayName"),
              row.refreshedByTheHost ? 1 : 0)
        << row.what;
  }
}

TEST_F(NamingFromTarget, CutPieceTakesTheNameTypeAndAForeignOrMissingPieceGivesNothing) {
  // The host makes the piece as a new track, which starts unresolved: any other name type in
  // the piece is the one that the module handed on.
  animation::EffectsSplitMapper mapper;
  auto const cut = UserOperation();
  for (std::int16_t type : {0, 1, 2, 3, 7, -1}) {
    auto track = NewTrack("whole", static_cast<NameType>(type));
    animation::EffectsSplitMapper cuts;
    auto piece = track->CutTrackInRange(1, 5, cuts, cut).DynamicCast<IllustrationItemTrack>();
    // The host cut with the mapper and the operation that the track was given.
    ASSERT_EQ(cuts.Cuts().size(), 1u);
    EXPECT_EQ(cuts.Cuts()[0].start, 1);
    EXPECT_EQ(cuts.Cuts()[0].end, 5);
    EXPECT_EQ(cuts.Cuts()[0].operation, cut.get());
    ASSERT_TRUE(piece);
    EXPECT_EQ(piece->GetNameType(), type);
    EXPECT_EQ(piece->TrackNameField(), "whole");
    EXPECT_EQ(track->GetNameType(), type);
  }
  auto track = NewTrack("whole");
  EXPECT_FALSE(track->CutTrackInRange(5, 5, mapper, {}));  // the host cuts off nothing
  HostTrackHooks hostHooks;
  EXPECT_FALSE(track->CutTrackInRange(1, 5, mapper, {})) << "a foreign piece";
}

TEST_F(NamingFromTarget, SelectionItemStandsInForAnEngineeringInstanceWithAnSbomInstance) {
  auto bare = M().AddInstance("i2", "bare", "Bare");
  auto annotationItem = M().AddAnnotationItem(M().AddCenterLine(), "CL");
  struct Row {
    char const* what;
    du::SmartPtr<qmk::SelectionItem> item;
    bool sbomItem;
  } const rows[] = {
      {"annotation", annotationItem, false},
      {"instance without SBOM instance", M().AddObjectItem(sel::Instance, bare, "Bare"), false},
      {"object that is not an instance",
       M().AddObjectItem(sel::Assembly, du::SmartPtr<qmk::Object>(sbom), "S"), false},
      {"collection of an instance with SBOM instance",
       M().AddObjectItem(sel::Collection, part, "Part"), false},
      {"assembly with SBOM instance", M().AddObjectItem(sel::Assembly, part, "Part"), true},
      {"instance with SBOM instance", M().AddObjectItem(sel::Instance, part, "Part"), true},
  };
  for (auto const& row : rows) {
    auto track = NewTrack();
    track->SetSelectionItem(row.item);
    auto first = track->GetSelectionItem();
    auto second = track->GetSelectionItem();
    if (row.sbomItem) {
      auto* made = dynamic_cast<qmk::illustration::SbomInstanceSelectionItem*>(first.get());
      ASSERT_NE(made, nullptr) << row.what;
      EXPECT_EQ(made->GetSbomInstance().get(), sbom.get());
      EXPECT_FALSE(made->CreationFlag());
      EXPECT_NE(first.get(), second.get()) << "made anew on each call";
    } else {
      EXPECT_EQ(first.get(), row.item.get()) << row.what;
    }
  }
  // When the host makes no selection item for the SBOM instance, there is none.
  sbom->SetSelectable(false);
  auto unselectable = NewTrack();
  unselectable->SetSelectionItem(M().AddObjectItem(sel::Instance, part, "Part"));
  EXPECT_FALSE(unselectable->GetSelectionItem());
  sbom->SetSelectable(true);
  auto empty = NewTrack();
  Recorded([&] { EXPECT_FALSE(empty->GetSelectionItem()); });
  EXPECT_TRUE(hostseams::CallLog::Calls().empty());
}

}  // namespace
