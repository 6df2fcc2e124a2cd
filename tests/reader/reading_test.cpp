// What the reader refuses, and the one line that says where and why.
#include <gtest/gtest.h>

#include <string>

#include "../illhost/rows.h"
#include "host/kernel.h"
#include "hostseams.h"
#include "illustration.h"

namespace {

using illhost::ReadIllustration;

// What the reader says of `text`: the message of its read error, or the warnings of its read.
std::string Said(std::string const& text) {
  try {
    std::string said;
    auto const ill = ReadIllustration(text, "f.json");
    for (auto const& warning : ill->warnings) said += "warning: " + warning;
    return said;
  } catch (illhost::ReadError const& e) {
    return e.what();
  }
}

// Each case of refused.tsv: the input is refused with the line, column, byte, path and reason,
// or read with the warning it gives, or none.
TEST(ReadingRefuses, WithTheLineColumnBytePathAndReason) {
  int const cases = test_rows::ForEachRow(READER_CASES_DIR "/refused.tsv", [](auto& row) {
    std::string const said = test_rows::Unescaped(row.at(2));
    bool const reads = said.empty() || said.rfind("warning: ", 0) == 0;
    EXPECT_EQ(Said(test_rows::Unescaped(row.at(1))), (reads ? "" : "f.json:") + said) << row[0];
  });
  EXPECT_GT(cases, 40) << "refused.tsv was not read whole";
}

// References may point forwards: the timeline and the items may come before what they name,
// also in cycles; the model gives back every reference it took.
TEST(ReadingReferences, ForwardReferencesAreLinkedAndGivenBack) {
  qmk::World::GetWorld();
  hostseams::Ledger::Enable(true);
  {
    hostseams::LedgerCheck ledger;
    auto ill = ReadIllustration(R"({
    "timeline": {"tracks": [{"id": "t", "target": {"item": "i", "scene": "s"}},
                            {"id": "u", "target": {"item": "j"}}], "parent_track_type": 3},
    "selection_items": [{"id": "i", "type": "Instance", "object": "p", "parent_object": "p"},
                        {"id": "j", "type": "Annotation", "annotation": "g"}],
    "annotations": [{"id": "g", "kind": "callout", "members": ["c", "g"]},
                    {"id": "c", "kind": "callout", "attachments": [["", "b"]]},
                    {"id": "l", "kind": "center_line", "object": "b"}],
    "instances": [{"id": "p", "name": "bolt", "sbom": "b"}],
    "sbom": [{"id": "b", "ebom": "p", "parent": "b"}],
    "scenes": [{"id": "s", "shape": false}]})",
                                "f.json");
    auto const& track = ill->tracks.at(0);
    EXPECT_TRUE(track.target && track.target->m_selectionItem && track.target->m_scene);
    EXPECT_EQ(track.selectionItem.get(), track.target->m_selectionItem.get());
    EXPECT_EQ(ill->itemIds.Find(track.selectionItem.get()), "i");
    EXPECT_EQ(track.parentTrackType, 3);
    auto instance = qmk::World::GetWorld()->GetInstanceTree()->FindInstance(du::Symbol("p"));
    EXPECT_EQ(track.selectionItem->ActInstance().get(), instance.get());
    EXPECT_EQ(ill->sbomIds.Find(instance ? instance->GetSbomInstance() : nullptr), "b");
    instance = {};
    ill = {};
    EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
  }
  hostseams::Ledger::Enable(false);
}

}  // namespace
