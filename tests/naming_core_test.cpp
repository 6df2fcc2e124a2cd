#include "key_symbols.h"
#include "support.h"

namespace {

using namespace testsupport;
using Entries = std::vector<std::pair<du::Symbol, std::int64_t>>;

class NamingCore : public ModuleTest {
 protected:
  // A target that any track follows, showing `displayName`.
  du::SmartPtr<animation::Target> FaceTarget(std::string const& displayName) {
    return hostmodel::Model::MakeTarget(M().AddGeometryItem(sel::Face3D, {}, displayName), {});
  }
};

TEST_F(NamingCore, ShownNameFollowsTheNameType) {
  EXPECT_EQ(NewTrack("Bolt")->GetNameType(), Int(Unresolved)) << "a new track";
  // Only name type 1 shows the display name; every other value, stored ones outside 0 to 3
  // included, shows the track name.
  for (std::int16_t type : {0, 1, 2, 3, 7, -1}) {
    auto track = NewTrack("track name");
    track->InitDisplayName(FaceTarget("display name"));
    track->SetNameType(static_cast<NameType>(type));
    EXPECT_EQ(track->GetTrackName(), type == 1 ? "display name" : "track name") << type;
    EXPECT_EQ(track->UsesTargetName(), type == 1) << type;
  }
}

TEST_F(NamingCore, RenameReachesTheHostAndOnlyAUsersRenameMakesTheNameTheTracksOwn) {
  // A rename without operation keeps the name type and sets both names; one with an operation
  // makes the name the track's own, also when it is the name that the target shows.
  struct Row {
    char const* what;
    bool byTheUser;
    char const* name;  // null: the display name itself
    NameType expected;
  } const rows[] = {{"without operation", false, "New", Follows},
                    {"to its own display name", false, nullptr, Follows},
                    {"another name", true, "Mine", Own},
                    {"the target's display name", true, "Host name", Own},
                    {"the display name itself", true, nullptr, Own}};
  for (auto const& row : rows) {
    auto track = NewTrack();
    track->InitDisplayName(FaceTarget("Host name"));
    std::string const name = row.name ? row.name : "Host name";
    Recorded([&] {
      track->SetTrackName(row.name ? name : track->DisplayNameField(),
                          row.byTheUser ? UserOperation() : du::SmartPtr<qmk::Operation>());
    });
    EXPECT_EQ(hostseams::CallLog::Count("animation::TrackData::SetTrackName"), 1) << row.what;
    EXPECT_EQ(track->GetNameType(), Int(row.expected)) << row.what;
    EXPECT_EQ(track->TrackNameField(), name) << row.what;
    if (!row.byTheUser) {
      EXPECT_EQ(track->DisplayNameField(), name) << row.what;
    }
  }
}

TEST_F(NamingCore, CopiesTakeTheNameTypeOfAnotherIllustrationTrackOnly) {
  // CopyFrom takes the name type and display name of another illustration track and ignores
  // any other source; the host's copy hook makes a track of the source's name type and name,
  // unresolved when the source is a track that the host made.
  auto source = NewTrack("Source", Own);
  du::SmartPtr<animation::ItemTrackData> foreign(new animation::BasicItemTrackData);
  for (int from = 0; from < 4; ++from) {
    auto track = NewTrack("Mine", Follows);
    // Another illustration track, the track itself, a track that the host made, none.
    du::SmartPtr<animation::ItemTrackData> const others[] = {source, track, foreign, {}};
    track->CopyFrom(others[from]);
    EXPECT_EQ(track->GetNameType(), Int(from == 0 ? Own : Follows)) << from;
    EXPECT_EQ(track->DisplayNameField(), from == 0 ? "Source" : "Mine") << from;
    EXPECT_EQ(track->TrackNameField(), "Mine") << from;
    if (!others[from]) continue;
    auto const copy = animation::ItemTrackCreator::CopyItemTrackDataImpl(others[from])
                          .DynamicCast<IllustrationItemTrack>();
    ASSERT_TRUE(copy) << from;
    EXPECT_EQ(copy->GetNameType(), Int(from == 2 ? Unresolved : from == 0 ? Own : Follows)) << from;
    EXPECT_EQ(copy->TrackNameField(), from == 2 ? "" : from == 0 ? "Source" : "Mine") << from;
  }
}

// Save widens the 16-bit value with its sign, only in a timeline that saves; Load keeps the low
// 16 bits of the stored value and falls back to unresolved when there is none.
TEST_F(NamingCore, SaveAndLoadTheNameType) {
  struct Row {
    bool present;
    std::int64_t stored;
    int loaded;
  } const rows[] = {{false, 0, 3},           {true, 0, 0},        {true, 1, 1},
                    {true, 65537, 1},        {true, 7, 7},        {true, -1, -1},
                    {true, 0x18000, -32768}, {true, 2, 2},        {true, 3, 3},
                    {true, -32768, -32768},  {true, 32767, 32767}};
  for (auto const& row : rows) {
    auto track = NewTrack("", Follows);
    Entries entries{{du::Symbol("other"), 5}};
    if (row.present) entries.emplace_back(illanimation::keys::NameType, row.stored);
    animation::PropertyReader reader(entries);
    track->Load(reader);
    EXPECT_EQ(track->GetNameType(), row.loaded) << row.stored;
    animation::PropertyWriter saved;
    track->Save(saved);
    EXPECT_EQ(saved.Entries(), (Entries{{illanimation::keys::NameType, row.loaded}})) << row.stored;
  }
  animation::PropertyWriter none;
  du::SmartPtr<IllustrationItemTrack>(new IllustrationItemTrack)->Save(none);  // in no timeline
  timeline_->SetSaveSuppressed(true);
  NewTrack("", Default)->Save(none);
  EXPECT_TRUE(none.Entries().empty());
}

}  // namespace
