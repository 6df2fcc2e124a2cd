#include "key_symbols.h"
#include "support.h"

namespace {

using namespace testsupport;

class NamingCore : public ModuleTest {
 protected:
  // A target that any track follows, showing `displayName`.
  du::SmartPtr<animation::Target> FaceTarget(std::string const& displayName) {
    return hostmodel::Model::MakeTarget(
        M().AddGeometryItem(qmk::mcad_selection::Face3D, {}, displayName), {});
  }
};

TEST_F(NamingCore, NewTrackIsUnresolvedAndShowsItsTrackName) {
  auto track = NewTrack("Bolt");
  EXPECT_EQ(track->GetNameType(), Int(NameType::Unresolved));
  EXPECT_EQ(track->GetTrackName(), "Bolt");
  EXPECT_FALSE(track->UsesTargetName());
}

TEST_F(NamingCore, ShownNameFollowsTheNameType) {
  // Only name type 1 shows the display name; every other value, stored ones outside 0 to 3
  // included, shows the track name.
  struct Row {
    std::int16_t type;
    bool followsTarget;
  } const rows[] = {{0, false}, {1, true}, {2, false}, {3, false}, {7, false}, {-1, false}};
  for (auto const& row : rows) {
    auto track = NewTrack("track name");
    track->InitDisplayName(FaceTarget("display name"));
    ASSERT_EQ(track->DisplayNameField(), "display name");
    track->SetNameType(static_cast<NameType>(row.type));
    EXPECT_EQ(track->GetTrackName(), row.followsTarget ? "display name" : "track name") << row.type;
    EXPECT_EQ(track->UsesTargetName(), row.followsTarget) << row.type;
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
  // Also when the new name is the one that the target shows: the user chose it.
  struct Row {
    char const* what;
    bool displayNameItself;
    char const* name;
  } const rows[] = {{"another name", false, "Mine"},
                    {"the target's display name", false, "Host name"},
                    {"the display name itself", true, "Host name"}};
  for (auto const& row : rows) {
    auto track = NewTrack();
    track->InitDisplayName(FaceTarget("Host name"));
    ASSERT_EQ(track->GetNameType(), Int(NameType::FromTarget));
    std::string const name = row.name;
    hostseams::CallLog::Start();
    track->SetTrackName(row.displayNameItself ? track->DisplayNameField() : name, UserOperation());
    hostseams::CallLog::Stop();
    EXPECT_EQ(track->GetNameType(), Int(NameType::Custom)) << row.what;
    EXPECT_EQ(track->GetTrackName(), name) << row.what;
    EXPECT_FALSE(track->UsesTargetName()) << row.what;
    EXPECT_EQ(hostseams::CallLog::Count("animation::TrackData::SetTrackName"), 1) << row.what;
  }
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
  // The 16-bit value is widened with its sign: a negative one is written as itself.
  for (std::int16_t type : {0, 1, 2, 3, 7, -1, -32768, 32767}) {
    auto track = NewTrack();
    track->SetNameType(static_cast<NameType>(type));
    animation::PropertyWriter saved;
    track->Save(saved);
    ASSERT_EQ(saved.Entries().size(), 1u);
    EXPECT_EQ(saved.Entries()[0].first, illanimation::keys::NameType);
    EXPECT_EQ(saved.Entries()[0].second, type);
  }

  auto track = NewTrack();
  track->SetNameType(NameType::Default);
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
