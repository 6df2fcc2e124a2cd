#include "support.h"

namespace {

using namespace testsupport;

using NamingFromTarget = PartTest;

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

// The property test of a track's life refreshes every kind of item; here, a geometry item is
// asked twice and its second answer stays, and the host's refresh is not asked.
TEST_F(NamingFromTarget, UpdateDisplayNameAsksAGeometryItemTwice) {
  for (du::Symbol const& type : {sel::Face3D, sel::ModelAnnotation3D}) {
    auto track = NewTrack("", Follows);
    track->SetSelectionItem(new CountingItem<qmk::GeometrySelectionItem>(type, part));
    Recorded([&] { track->UpdateDisplayName(scene); });
    EXPECT_EQ(track->DisplayNameField(), "call 2") << type.str();
    EXPECT_EQ(track->TrackNameField(), "") << type.str();
    EXPECT_FALSE(track->DisplayNameFlag()) << type.str();
    EXPECT_EQ(hostseams::CallLog::Count("animation::ItemTrackData::UpdateDisplayName"), 0);
  }
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
