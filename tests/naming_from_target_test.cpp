#include "support.h"

namespace {

using namespace testsupport;
namespace sel = qmk::mcad_selection;

using NamingFromTarget = PartTest;

TEST_F(NamingFromTarget, InitDisplayNameDecidesWhetherTheNameFollowsTheTarget) {
  auto centerLine = M().AddCenterLine();
  auto callout = M().AddCallout("C", {}, "");
  du::SmartPtr<qmk::Annotation> note(new qmk::Annotation(du::Symbol("Note")));
  auto noAct = M().AddObjectItem(sel::Instance, part, "Part");
  noAct->SetActInstance({});
  struct Row {
    char const* what;
    du::SmartPtr<animation::Target> target;
    NameType expected;
  } const rows[] = {
      {"empty target", {}, NameType::Default},
      {"kind other than 2", Target(M().AddObjectItem(sel::Instance, part, "Part"), 1),
       NameType::Default},
      {"no selection item", Target({}), NameType::Default},
      {"instance", Target(M().AddObjectItem(sel::Instance, part, "Part")), NameType::FromTarget},
      {"assembly", Target(M().AddObjectItem(sel::Assembly, part, "Part")), NameType::FromTarget},
      {"instance without act instance", Target(noAct), NameType::Default},
      {"centre line", Target(M().AddAnnotationItem(centerLine, "CL")), NameType::FromTarget},
      {"callout label", Target(M().AddAnnotationItem(callout, "C")), NameType::FromTarget},
      {"other annotation", Target(M().AddAnnotationItem(note, "N")), NameType::Default},
      {"annotation item without annotation", Target(M().AddAnnotationItem({}, "N")),
       NameType::Default},
      {"face", Target(M().AddGeometryItem(sel::Face3D, part, "F")), NameType::FromTarget},
      {"model annotation", Target(M().AddGeometryItem(sel::ModelAnnotation3D, part, "MA")),
       NameType::FromTarget},
      {"collection", Target(M().AddObjectItem(sel::Collection, part, "Coll")), NameType::Default},
  };
  for (auto const& row : rows) {
    for (NameType before : {NameType::Custom, NameType::FromTarget, NameType::Unresolved}) {
      auto track = NewTrack();
      track->SetNameType(before);
      track->SetTrackName("old", {});
      if (row.target) row.target->m_displayName = "host name";
      hostseams::LedgerCheck ledger;
      track->InitDisplayName(row.target);
      EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
      EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
      EXPECT_EQ(track->DisplayNameField(),
                row.expected == NameType::FromTarget ? "host name" : "old")
          << row.what;
    }
  }
}

TEST_F(NamingFromTarget, GeometryTargetsQualifyWithoutAskingForInstanceOrAnnotation) {
  auto track = NewTrack();
  hostseams::CallLog::Start();
  track->InitDisplayName(Target(M().AddGeometryItem(sel::Face3D, part, "F")));
  hostseams::CallLog::Stop();
  EXPECT_EQ(hostseams::CallLog::Count("animation::engineutils::GetActInstance"), 0);
  EXPECT_EQ(hostseams::CallLog::Count("animation::engineutils::GetAnnotationFromTarget"), 0);
}

TEST_F(NamingFromTarget, UpdateDisplayNameRefreshesOnlyUnlockedTracksThatFollowTheirTarget) {
  auto item = M().AddObjectItem(sel::Instance, part, "Fresh");
  struct Row {
    NameType type;
    bool locked;
    bool refreshed;
  } const rows[] = {{NameType::FromTarget, true, false},
                    {NameType::Custom, false, false},
                    {NameType::Default, false, false},
                    {NameType::Unresolved, false, false},
                    {NameType::FromTarget, false, true}};
  for (auto const& row : rows) {
    auto track = NewTrack("stale");
    track->SetSelectionItem(item);
    track->SetNameType(row.type);
    track->SetLockedState(row.locked);
    hostseams::CallLog::Start();
    track->UpdateDisplayName(scene);
    hostseams::CallLog::Stop();
    EXPECT_EQ(track->DisplayNameField(), row.refreshed ? "Fresh" : "stale");
    EXPECT_EQ(track->DisplayNameFlag(), row.refreshed);
    EXPECT_EQ(hostseams::CallLog::Count("animation::ItemTrackData::UpdateDisplayName"),
              row.refreshed ? 1 : 0);
  }
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

TEST_F(NamingFromTarget, UpdateDisplayNameTakesGeometryNamesFromTheGeometryItemItself) {
  // A geometry item is asked twice and its second answer stays; any other item is asked once,
  // and the host's refresh sees the display-name flag already set: it fills an empty track name.
  struct Row {
    char const* what;
    du::SmartPtr<qmk::SelectionItem> item;
    char const* displayName;
    char const* trackName;
    bool flag;
  } const rows[] = {
      {"face", new CountingItem<qmk::GeometrySelectionItem>(sel::Face3D, part), "call 2", "",
       false},
      {"model annotation",
       new CountingItem<qmk::GeometrySelectionItem>(sel::ModelAnnotation3D, part), "call 2", "",
       false},
      {"instance", new CountingItem<qmk::ObjectSelectionItem>(sel::Instance, part), "call 1",
       "call 1", true},
      {"annotation", new CountingItem<qmk::SelectionItem>(sel::Annotation), "call 1", "call 1",
       true},
  };
  for (auto const& row : rows) {
    auto track = NewTrack();
    track->SetNameType(NameType::FromTarget);
    track->SetSelectionItem(row.item);
    hostseams::CallLog::Start();
    track->UpdateDisplayName(scene);
    hostseams::CallLog::Stop();
    EXPECT_EQ(track->DisplayNameField(), row.displayName) << row.what;
    EXPECT_EQ(track->TrackNameField(), row.trackName) << row.what;
    EXPECT_EQ(track->DisplayNameFlag(), row.flag) << row.what;
    EXPECT_EQ(hostseams::CallLog::Count("animation::ItemTrackData::UpdateDisplayName"),
              row.flag ? 1 : 0)
        << row.what;
  }
}

TEST_F(NamingFromTarget, CutPieceTakesTheNameTypeAndAForeignOrMissingPieceGivesNothing) {
  // The host makes the piece as a new track, which starts unresolved: any other name type in
  // the piece is the one that the module handed on.
  animation::EffectsSplitMapper mapper;
  for (std::int16_t type : {0, 1, 2, 3, 7, -1}) {
    auto track = NewTrack("whole");
    track->SetNameType(static_cast<NameType>(type));
    auto piece = track->CutTrackInRange(1, 5, mapper, {}).DynamicCast<IllustrationItemTrack>();
    ASSERT_TRUE(piece);
    EXPECT_NE(piece.get(), track.get());
    EXPECT_EQ(piece->GetNameType(), type);
    EXPECT_EQ(piece->TrackNameField(), "whole");
    EXPECT_EQ(track->GetNameType(), type);
  }
  auto track = NewTrack("whole");
  EXPECT_FALSE(track->CutTrackInRange(5, 5, mapper, {}));  // the host cuts off nothing
  auto const ours = animation::ItemTrackCreator::CreateItemTrackDataImpl;
  animation::ItemTrackCreator::CreateItemTrackDataImpl = [] {
    return du::SmartPtr<animation::ItemTrackData>(new animation::BasicItemTrackData);
  };
  hostseams::LedgerCheck ledger;
  EXPECT_FALSE(track->CutTrackInRange(1, 5, mapper, {}));
  EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
  animation::ItemTrackCreator::CreateItemTrackDataImpl = ours;
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
    hostseams::LedgerCheck ledger;
    {
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
    EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
    EXPECT_EQ(track->GetSelectionItem().get() == row.item.get(), !row.sbomItem);
  }
  auto empty = NewTrack();
  hostseams::CallLog::Start();
  EXPECT_FALSE(empty->GetSelectionItem());
  hostseams::CallLog::Stop();
  EXPECT_TRUE(hostseams::CallLog::Calls().empty());
}

}  // namespace
