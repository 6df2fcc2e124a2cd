#include "key_symbols.h"
#include "support.h"

namespace {

using namespace testsupport;

using NamingCore = ModuleTest;

TEST_F(NamingCore, NewTrackIsUnresolvedAndShowsItsTrackName) {
  auto track = NewTrack("Bolt");
  EXPECT_EQ(track->GetNameType(), Int(NameType::Unresolved));
  EXPECT_EQ(track->GetTrackName(), "Bolt");
  EXPECT_FALSE(track->UsesTargetName());
}

TEST_F(NamingCore, ShownNameFollowsTheNameType) {
  auto track = NewTrack("track name");
  track->SetTrackName("track name", {});
  struct Row {
    NameType type;
    bool followsTarget;
  } const rows[] = {{NameType::Custom, false},
                    {NameType::FromTarget, true},
                    {NameType::Default, false},
                    {NameType::Unresolved, false}};
  for (auto const& row : rows) {
    track->SetNameType(row.type);
    EXPECT_EQ(track->UsesTargetName(), row.followsTarget) << Int(row.type);
  }
}

TEST_F(NamingCore, RenameWithoutOperationKeepsTheNameTypeAndSetsBothNames) {
  auto track = NewTrack();
  track->SetNameType(NameType::FromTarget);
  track->SetTrackName("New", {});
  EXPECT_EQ(track->GetNameType(), Int(NameType::FromTarget));
  EXPECT_EQ(track->DisplayNameField(), "New");
  EXPECT_EQ(track->TrackNameField(), "New");
  EXPECT_EQ(track->GetTrackName(), "New");
}

TEST_F(NamingCore, RenameWithOperationMakesTheNameTheTracksOwn) {
  auto track = NewTrack();
  track->SetNameType(NameType::FromTarget);
  hostseams::CallLog::Start();
  track->SetTrackName("Mine", UserOperation());
  hostseams::CallLog::Stop();
  EXPECT_EQ(track->GetNameType(), Int(NameType::Custom));
  EXPECT_EQ(track->GetTrackName(), "Mine");
  EXPECT_EQ(hostseams::CallLog::Count("animation::TrackData::SetTrackName"), 1);
}

TEST_F(NamingCore, RenameToItsOwnDisplayNameStillReachesTheHost) {
  auto track = NewTrack("Same");
  hostseams::CallLog::Start();
  track->SetTrackName(track->DisplayNameField(), {});
  hostseams::CallLog::Stop();
  EXPECT_EQ(track->DisplayNameField(), "Same");
  EXPECT_EQ(hostseams::CallLog::Count("animation::TrackData::SetTrackName"), 1);
}

TEST_F(NamingCore, CopyFromTakesNameTypeAndDisplayNameOfAnotherIllustrationTrack) {
  auto source = NewTrack("Source");
  source->SetNameType(NameType::Custom);
  auto track = NewTrack("Mine");
  track->SetNameType(NameType::FromTarget);
  hostseams::LedgerCheck ledger;
  track->CopyFrom(source);
  EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
  EXPECT_EQ(track->GetNameType(), Int(NameType::Custom));
  EXPECT_EQ(track->DisplayNameField(), "Source");
  EXPECT_EQ(track->TrackNameField(), "Mine");
}

TEST_F(NamingCore, CopyFromItselfOrAForeignTrackChangesNothing) {
  auto track = NewTrack("Mine");
  track->SetNameType(NameType::FromTarget);
  du::SmartPtr<animation::ItemTrackData> foreign(new animation::BasicItemTrackData);
  for (auto const& other : {du::SmartPtr<animation::ItemTrackData>(track), foreign,
                            du::SmartPtr<animation::ItemTrackData>()}) {
    hostseams::LedgerCheck ledger;
    track->CopyFrom(other);
    EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
    EXPECT_EQ(track->GetNameType(), Int(NameType::FromTarget));
    EXPECT_EQ(track->DisplayNameField(), "Mine");
  }
}

TEST_F(NamingCore, SaveWritesTheNameTypeOnlyInATimelineThatSaves) {
  auto track = NewTrack();
  track->SetNameType(NameType::Default);
  animation::PropertyWriter saved;
  track->Save(saved);
  ASSERT_EQ(saved.Entries().size(), 1u);
  EXPECT_EQ(saved.Entries()[0].first, illanimation::keys::NameType);
  EXPECT_EQ(saved.Entries()[0].second, 2);

  timeline_->SetSaveSuppressed(true);
  animation::PropertyWriter suppressed;
  track->Save(suppressed);
  EXPECT_TRUE(suppressed.Entries().empty());

  du::SmartPtr<IllustrationItemTrack> outside(new IllustrationItemTrack);
  animation::PropertyWriter none;
  outside->Save(none);
  EXPECT_TRUE(none.Entries().empty());
}

TEST_F(NamingCore, LoadKeepsTheLow16BitsOfTheStoredValueAndFallsBackToUnresolved) {
  struct Row {
    bool present;
    std::int64_t stored;
    int expected;
  } const rows[] = {{false, 0, 3}, {true, 0, 0},   {true, 1, 1},           {true, 65537, 1},
                    {true, 7, 7},  {true, -1, -1}, {true, 0x18000, -32768}};
  for (auto const& row : rows) {
    auto track = NewTrack();
    track->SetNameType(NameType::FromTarget);
    std::vector<std::pair<du::Symbol, std::int64_t>> entries{{du::Symbol("other"), 5}};
    if (row.present) entries.emplace_back(illanimation::keys::NameType, row.stored);
    animation::PropertyReader reader(entries);
    track->Load(reader);
    EXPECT_EQ(track->GetNameType(), row.expected) << row.stored;
  }
}

TEST_F(NamingCore, CopyFactoryTakesTheSourceNameTypeAndUnresolvedFromAForeignSource) {
  auto source = NewTrack("Source");
  source->SetNameType(NameType::Default);
  auto copy = animation::ItemTrackCreator::CopyItemTrackDataImpl(source)
                  .DynamicCast<IllustrationItemTrack>();
  ASSERT_TRUE(copy);
  EXPECT_EQ(copy->GetNameType(), Int(NameType::Default));
  EXPECT_EQ(copy->TrackNameField(), "Source");

  du::SmartPtr<animation::ItemTrackData> foreign(new animation::BasicItemTrackData);
  auto fromForeign = animation::ItemTrackCreator::CopyItemTrackDataImpl(foreign)
                         .DynamicCast<IllustrationItemTrack>();
  ASSERT_TRUE(fromForeign);
  EXPECT_EQ(fromForeign->GetNameType(), Int(NameType::Unresolved));
}

TEST(KeySymbols, SixtyFourInFamilyOrderWithThreeDistinctPickPoints) {
  using namespace illanimation::keys;
  EXPECT_EQ(*kAll[0], std::string("contenttype"));
  EXPECT_EQ(*kAll[21], std::string("SbomInstance"));
  EXPECT_EQ(*kAll[28], std::string("NoteContent"));
  EXPECT_EQ(*kAll[32], std::string("page_border_settings"));
  EXPECT_EQ(*kAll[58], std::string("name_type"));
  EXPECT_EQ(*kAll[63], std::string("Value"));
  int pickPoints = 0;
  for (auto const* key : kAll) pickPoints += *key == std::string("pick_point") ? 1 : 0;
  EXPECT_EQ(pickPoints, 3);
  EXPECT_NE(&ObjectPickPoint, &IsoviewPickPoint);
  EXPECT_NE(&IsoviewPickPoint, &GeometryPickPoint);
}

}  // namespace
