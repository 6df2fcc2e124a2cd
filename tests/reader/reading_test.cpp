// What the reader refuses, and the one line that says where and why.
#include <gtest/gtest.h>

#include <string>

#include "host/kernel.h"
#include "hostseams.h"
#include "illustration_reader.h"

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

struct Refused {
  char const* what;
  std::string text;
  char const* message;  // after "f.json:"
};

class ReadingRefuses : public ::testing::TestWithParam<Refused> {};

TEST_P(ReadingRefuses, WithTheLineColumnBytePathAndReason) {
  EXPECT_EQ(ErrorOf(GetParam().text), std::string("f.json:") + GetParam().message)
      << GetParam().what;
}

// Faults of the JSON itself.
INSTANTIATE_TEST_SUITE_P(
    Syntax, ReadingRefuses,
    ::testing::Values(
        Refused{"empty", "", "1:1: byte 0: $: expected a value, found the end of the file"},
        Refused{"cut short", "{\"objects\": [",
                "1:14: byte 13: $.objects[0]: expected a value, "
                "found the end of the file"},
        Refused{"missing comma", "{\"objects\": []\n \"scenes\": []}",
                "2:2: byte 16: $: expected ',' or '}'"},
        Refused{"missing colon", "{\"objects\" []}", "1:12: byte 11: $: expected ':'"},
        Refused{"comma before a bracket", "{\"objects\": [{\"id\": \"a\"},]}",
                "1:26: byte 25: $.objects[1]: expected a value"},
        Refused{"bare word", "{\"objects\": nothing}",
                "1:13: byte 12: $.objects: expected a value"},
        Refused{"NUL between values", std::string("{\"objects\": [\0]}", 16),
                "1:14: byte 13: $.objects[0]: NUL byte, expected a value"},
        Refused{"NUL in a string", std::string("{\"generic_message\": \"a\0b\"}", 26),
                "1:23: byte 22: $.generic_message: NUL byte in a string"},
        Refused{"control character", "{\"generic_message\": \"a\x01\"}",
                "1:23: byte 22: $.generic_message: control character in a string "
                "(write it as \\u0001)"},
        Refused{"bad escape", "{\"generic_message\": \"a\\qb\"}",
                "1:23: byte 22: $.generic_message: invalid escape in a string"},
        Refused{"lone surrogate", "{\"generic_message\": \"\\ud800x\"}",
                "1:22: byte 21: $.generic_message: unpaired surrogate in a string"},
        Refused{"lone surrogate in a key", "{\"objects\": [], \"a\\udc00\": 1}",
                "1:19: byte 18: $: unpaired surrogate in a string"},
        Refused{"overlong UTF-8", "{\"generic_message\": \"\xc0\x80\"}",
                "1:22: byte 21: $.generic_message: invalid UTF-8 in a string"},
        Refused{"UTF-8 surrogate", "{\"generic_message\": \"\xed\xa0\x80\"}",
                "1:22: byte 21: $.generic_message: invalid UTF-8 in a string"},
        Refused{"string not closed", "{\"generic_message\": \"abc",
                "1:21: byte 20: $.generic_message: string not closed before the end of the file"},
        Refused{"number too large", "{\"timeline\": {\"parent_track_type\": -1e999}}",
                "1:36: byte 35: $.timeline.parent_track_type: number out of range"},
        Refused{"leading zero", "{\"timeline\": {\"parent_track_type\": 01}}",
                "1:36: byte 35: $.timeline.parent_track_type: invalid number"},
        Refused{"second document", "{}\n{}", "2:1: byte 3: $: text after the end of the document"},
        Refused{"byte order mark", "\xef\xbb\xbf{}", "1:1: byte 0: $: expected a value"},
        Refused{"65 levels", std::string(65, '['),
                "1:65: byte 64: $[0][0][0][0][0][0][0][0]…(56 "
                "more levels): nesting deeper than 64 levels"}));

// Documents that are JSON but not an illustration.
INSTANTIATE_TEST_SUITE_P(
    Format, ReadingRefuses,
    ::testing::Values(
        Refused{"not an object", "[]", "1:1: byte 0: $: expected an object"},
        Refused{"duplicate top-level key", "{\"objects\": [], \"objects\": []}",
                "1:17: byte 16: $: duplicate key \"objects\""},
        Refused{
            "duplicate key in a track",
            "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"locked\": true, \"locked\": false}]}}",
            "1:54: byte 53: $.timeline.tracks[0]: duplicate key \"locked\""},
        Refused{"duplicate stored property",
                "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"stored\": {\"properties\": "
                "{\"name_type\": 1, \"name_type\": 2}}}]}}",
                "1:80: byte 79: $.timeline.tracks[0].stored.properties: duplicate key "
                "\"name_type\""},
        Refused{
            "duplicate SBOM property",
            "{\"sbom\": [{\"id\": \"s\", \"properties\": {\"g\": {\"a\": \"1\", \"a\": \"2\"}}}]}",
            "1:54: byte 53: $.sbom[0].properties.g: duplicate key \"a\""},
        Refused{"key spelt with an escape is still the same key",
                "{\"objects\": [], \"\\u006fbjects\": []}",
                "1:17: byte 16: $: duplicate key \"objects\""},
        Refused{"unknown key", "{\"scenes\": [{\"id\": \"s\", \"colour\": 1}]}",
                "1:25: byte 24: $.scenes[0]: unknown key \"colour\""},
        Refused{"key of another kind of annotation",
                "{\"annotations\": [{\"id\": \"a\", \"kind\": \"center_line\", \"tag\": \"x\"}]}",
                "1:53: byte 52: $.annotations[0]: unknown key \"tag\""},
        Refused{"missing id", "{\"objects\": [{}]}", "1:14: byte 13: $.objects[0].id: missing"},
        Refused{"missing type", "{\"selection_items\": [{\"id\": \"i\"}]}",
                "1:22: byte 21: $.selection_items[0].type: missing"},
        Refused{"wrong type", "{\"objects\": [{\"id\": 7}]}",
                "1:21: byte 20: $.objects[0].id: expected a string"},
        Refused{"fraction for an integer",
                "{\"annotations\": [{\"id\": \"c\", \"kind\": \"callout\", \"type\": 1.5}]}",
                "1:57: byte 56: $.annotations[0].type: expected an integer"},
        Refused{"integer beyond 64 bits",
                "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"stored\": {\"properties\": "
                "{\"k\": 9223372036854775808}}}]}}",
                "1:69: byte 68: $.timeline.tracks[0].stored.properties.k: number out of range"},
        Refused{"integer beyond an int", "{\"timeline\": {\"parent_track_type\": 2147483648}}",
                "1:36: byte 35: $.timeline.parent_track_type: number out of range"},
        Refused{"duplicate id across lists",
                "{\"objects\": [{\"id\": \"a\"}], \"scenes\": "
                "[{\"id\": \"a\"}]}",
                "1:46: byte 45: $.scenes[0].id: duplicate id \"a\""},
        Refused{"track id taken by an object",
                "{\"objects\": [{\"id\": \"a\"}], \"timeline\": {\"tracks\": [{\"id\": \"a\"}]}}",
                "1:59: byte 58: $.timeline.tracks[0].id: duplicate id \"a\""},
        Refused{"unknown annotation kind",
                "{\"annotations\": [{\"id\": \"a\", \"kind\": \"arrow\"}]}",
                "1:38: byte 37: $.annotations[0].kind: unknown annotation kind \"arrow\""}));

// Every key that names an object is checked, on every kind of item, forwards and backwards.
INSTANTIATE_TEST_SUITE_P(
    References, ReadingRefuses,
    ::testing::Values(
        Refused{"parent object of an Instance item",
                "{\"selection_items\": [{\"id\": \"i\", \"type\": \"Instance\", \"parent_object\": "
                "\"x\"}]}",
                "1:71: byte 70: $.selection_items[0].parent_object: no object has the id \"x\""},
        Refused{"parent object of a Face3D item without geometry",
                "{\"scenes\": [{\"id\": \"s\"}], \"selection_items\": [{\"id\": \"i\", \"type\": "
                "\"Face3D\", \"geometry\": false, \"parent_object\": \"s\"}]}",
                "1:113: byte 112: $.selection_items[0].parent_object: \"s\" is not a kernel "
                "object"},
        Refused{"parent object of an Annotation item",
                "{\"selection_items\": [{\"id\": \"i\", \"type\": \"Annotation\", "
                "\"parent_object\": [1]}]}",
                "1:73: byte 72: $.selection_items[0].parent_object: expected a string"},
        Refused{"act instance that is an object",
                "{\"objects\": [{\"id\": \"o\"}], \"selection_items\": [{\"id\": \"i\", \"type\": "
                "\"Collection\", \"act_instance\": \"o\"}]}",
                "1:98: byte 97: $.selection_items[0].act_instance: \"o\" is not an instance or "
                "SBOM instance"},
        Refused{
            "object on a Collection item",
            "{\"selection_items\": [{\"id\": \"i\", \"type\": \"Collection\", \"object\": null}]}",
            "1:66: byte 65: $.selection_items[0].object: only Instance and Assembly items "
            "have an object"},
        Refused{"group member that is a centre line",
                "{\"annotations\": [{\"id\": \"c\", \"kind\": \"callout\", \"members\": [\"l\"]}, "
                "{\"id\": \"l\", \"kind\": \"center_line\"}]}",
                "1:61: byte 60: $.annotations[0].members[0]: \"l\" is not a callout"},
        Refused{"instance's SBOM named later but missing",
                "{\"instances\": [{\"id\": \"i\", \"sbom\": \"s\"}], \"sbom\": [{\"id\": \"t\"}]}",
                "1:36: byte 35: $.instances[0].sbom: no object has the id \"s\""},
        Refused{"track target naming a scene",
                "{\"scenes\": [{\"id\": \"s\"}], \"timeline\": {\"tracks\": [{\"id\": \"t\", "
                "\"target\": {\"item\": \"s\"}}]}}",
                "1:82: byte 81: $.timeline.tracks[0].target.item: \"s\" is not a selection item"},
        Refused{"selection item named before it is listed, but missing",
                "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"selection_item\": \"i\"}]}, "
                "\"selection_items\": [{\"id\": \"j\", \"type\": \"X\"}]}",
                "1:56: byte 55: $.timeline.tracks[0].selection_item: no object has the id "
                "\"i\""}));

TEST(ReadingMessages, QuoteInputEscapedAndCut) {
  std::string const id = "a\\u001b[31m" + std::string(200, 'x');
  std::string const message =
      ErrorOf("{\"selection_items\": [{\"id\": \"i\", \"type\": \"Instance\", \"object\": \"" + id +
              "\"}]}");
  EXPECT_NE(message.find("no object has the id \"a\\x1b[31mxxx"), std::string::npos) << message;
  EXPECT_NE(message.find("…\""), std::string::npos) << message;
  EXPECT_EQ(message.find('\x1b'), std::string::npos);
  EXPECT_LT(message.size(), 200u);
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
  struct Case {
    long long stored;
    char const* warning;  // "" for none
  };
  for (Case const c : {Case{3, ""}, Case{-32768, ""}, Case{32767, ""},
                       Case{32768,
                            "track \"t\": stored name_type 32768 is outside 16 bits and "
                            "is read as -32768; --save writes that value"},
                       Case{70000,
                            "track \"t\": stored name_type 70000 is outside 16 bits and "
                            "is read as 4464; --save writes that value"}}) {
    auto const ill = ReadIllustration(
        "{\"timeline\": {\"tracks\": [{\"id\": \"t\", \"stored\": {\"properties\": "
        "{\"name_type\": " +
            std::to_string(c.stored) + "}}}]}}",
        "f.json");
    std::string const warnings = ill->warnings.empty() ? "" : ill->warnings.front();
    EXPECT_EQ(warnings, c.warning) << c.stored;
    EXPECT_LE(ill->warnings.size(), 1u);
  }
}

}  // namespace
