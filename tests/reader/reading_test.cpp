// What the reader refuses, and the one line that says where and why.
#include <gtest/gtest.h>

#include <string>

#include "../illhost/rows.h"
#include "host/kernel.h"
#include "hostseams.h"
#include "illustration.h"

namespace {

using illhost::ReadIllustration;

// The message of the read error for `text`, or "" when it reads.
std::string ErrorOf(std::string const& text) {
  try {
    ReadIllustration(text, "f.json");
  } catch (illhost::ReadError const& e) {
    return e.what();
  }
  return "";
}

// Each case of refused.tsv: the input is refused with the line, column, byte, path and reason.
TEST(ReadingRefuses, WithTheLineColumnBytePathAndReason) {
  int const cases = test_rows::ForEachRow(READER_CASES_DIR "/refused.tsv", [](auto& row) {
    EXPECT_EQ(ErrorOf(test_rows::Unescaped(row.at(1))), "f.json:" + test_rows::Unescaped(row.at(2)))
        << row[0];
  });
  EXPECT_GT(cases, 40) << "refused.tsv was not read whole";
}

TEST(ReadingMessages, QuoteInputEscapedAndCut) {
  std::string const id = "a\\u001b[31m" + std::string(200, 'x');
  std::string const message =
      ErrorOf("{\"selection_items\": [{\"id\": \"i\", \"type\": \"Instance\", \"object\": \"" + id +
              "\"}]}");
  EXPECT_NE(message.find("no object has the id \"a\\x1b[31mxxx"), std::string::npos) << message;
  EXPECT_NE(message.find("…\""), std::string::npos) << message;
  EXPECT_EQ(message.find('\x1b'), std::string::npos);
  EXPECT_LT(message.size(), 200u);
  std::string const key = ErrorOf("{\"\\u001b[31m" + std::string(100000, 'k') + "\\n\": 1}");
  EXPECT_NE(key.find("unknown key \"\\x1b[31mkkk"), std::string::npos) << key;
  EXPECT_EQ(key.find_first_of("\x1b\n"), std::string::npos);
  EXPECT_LT(key.size(), 200u);
}

// References may point forwards: the timeline and the items may come before what they name.
TEST(ReadingReferences, ForwardReferencesAreLinked) {
  auto const ill = ReadIllustration(R"({
    "timeline": {"tracks": [{"id": "t", "target": {"item": "i", "scene": "s"}}],
                 "parent_track_type": 3},
    "selection_items": [{"id": "i", "type": "Instance", "object": "p", "parent_object": "p"}],
    "instances": [{"id": "p", "name": "bolt", "sbom": "b"}],
    "sbom": [{"id": "b", "ebom": "p", "parent": "b"}],
    "scenes": [{"id": "s", "shape": false}]})",
                                    "f.json");
  ASSERT_EQ(ill->tracks.size(), 1u);
  auto const& track = ill->tracks[0];
  ASSERT_TRUE(track.target && track.target->m_selectionItem && track.target->m_scene);
  EXPECT_EQ(track.selectionItem.get(), track.target->m_selectionItem.get());
  EXPECT_EQ(ill->itemIds.Find(track.selectionItem.get()), "i");
  EXPECT_EQ(track.parentTrackType, 3);
  auto instance = qmk::World::GetWorld()->GetInstanceTree()->FindInstance(du::Symbol("p"));
  ASSERT_TRUE(instance);
  EXPECT_EQ(track.selectionItem->ActInstance().get(), instance.get());
  ASSERT_NE(instance->GetSbomInstance(), nullptr);
  EXPECT_EQ(ill->sbomIds.Find(instance->GetSbomInstance()), "b");
}

TEST(ReadingReferences, ModelGivesBackEveryReference) {
  qmk::World::GetWorld();
  hostseams::Ledger::Enable(true);
  {
    hostseams::LedgerCheck ledger;
    ReadIllustration(R"({"annotations": [
        {"id": "g", "kind": "callout", "members": ["c", "g"]},
        {"id": "c", "kind": "callout", "attachments": [["", "s"]]},
        {"id": "l", "kind": "center_line", "object": "s"}],
      "sbom": [{"id": "s", "parent": "s"}],
      "selection_items": [{"id": "i", "type": "Annotation", "annotation": "g"}],
      "timeline": {"tracks": [{"id": "t", "target": {"item": "i"}}]}})",
                     "f.json");
    EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
  }
  hostseams::Ledger::Enable(false);
}

TEST(ReadingWarnings, StoredNameTypeOutside16BitsIsNamed) {
  std::pair<long long, char const*> const cases[] = {
      {3, ""}, {-32768, ""}, {32767, ""}, {32768, "-32768"}, {70000, "4464"}};
  for (auto const& [stored, read] : cases) {
    auto const ill = ReadIllustration(
        R"({"timeline": {"tracks": [{"id": "t", "stored": {"properties": {"name_type": )" +
            std::to_string(stored) + "}}}]}}",
        "f.json");
    std::vector<std::string> expected;
    if (*read) {
      expected.push_back("track \"t\": stored name_type " + std::to_string(stored) +
                         " is outside 16 bits and is read as " + read +
                         "; --save writes that value");
    }
    EXPECT_EQ(ill->warnings, expected) << stored;
  }
}

}  // namespace
