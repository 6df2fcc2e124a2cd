// The selection item that a track hands the host. (Which host calls GetSelectionItem,
// InitDisplayName and UpdateDisplayName make for each kind of target, none for a track without
// an item, is in the fault sweep's table of host calls; what they do to the name, in the
// property test of a track's life.)
#include "support.h"

namespace {

using namespace testsupport;

using SelectionItem = PartTest;

TEST_F(SelectionItem, SelectionItemStandsInForAnEngineeringInstanceWithAnSbomInstance) {
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
}

}  // namespace
