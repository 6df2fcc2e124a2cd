// The illustration format, stated once: for every key of every kind of object, its JSON type,
// its default, whether it is required and what a reference may name. The reader walks by these
// tables; the JSON Schema, the fuzz dictionary and the checks of the docs are made from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "standin_texts.h"

namespace illhost {

// What an id names.
enum class Kind : std::uint8_t {
  Instance,
  Sbom,
  Object,
  Scene,
  CenterLine,
  Callout,
  Annotation,
  Item,
  Track
};
using Kinds = std::uint16_t;
constexpr Kinds Of(Kind kind) { return static_cast<Kinds>(1u << static_cast<unsigned>(kind)); }
template <class... More>
constexpr Kinds Of(Kind kind, More... more) {
  return static_cast<Kinds>(Of(kind) | Of(more...));
}

enum class Type : std::uint8_t {
  Id,          // a string, required, unique in the file
  Word,        // a string, required
  Text,        // a string
  Flag,        // true or false
  Int,         // an integer that fits an int
  Reference,   // an id
  References,  // a list of ids
  Pairs,       // a list of [string, string]
  Object,      // an object of `shape`
  List,        // a list of objects of `shape`
  TextGroups,  // {group: {name: string}}
  Integers,    // {key: 64-bit integer}
};

struct Shape;

struct Key {
  std::string_view name;
  Type type;
  std::int64_t number = 0;         // the default of a flag or integer
  std::string_view text = {};      // the default of a text
  Kinds names = 0;                 // what a reference may name
  char const* naming = nullptr;    // how a message calls that
  Shape const* shape = nullptr;    // of an object or list
  Kinds onlyFor = 0;               // an annotation key: the kinds of annotation that have it
};

struct Shape {
  std::string_view name;
  Key const* keys;
  std::size_t count;

  // The place of `key`; a key not in the shape does not compile where it is constant.
  constexpr std::size_t operator[](std::string_view key) const {
    for (std::size_t i = 0; i < count; ++i)
      if (keys[i].name == key) return i;
    throw std::logic_error("no such key");
  }
};

template <std::size_t N>
constexpr Shape MakeShape(std::string_view name, Key const (&keys)[N]) {
  return Shape{name, keys, N};
}

constexpr Kinds kAnyObject = Of(Kind::Instance, Kind::Sbom, Kind::Object, Kind::CenterLine,
                                Kind::Callout, Kind::Annotation);
constexpr Kinds kAnyAnnotation = Of(Kind::CenterLine, Kind::Callout, Kind::Annotation);
constexpr Kinds kCallout = Of(Kind::Callout);

namespace format {

inline constexpr Key kInstanceKeys[] = {
    {"id", Type::Id},
    {"name", Type::Text},
    {"display_name", Type::Text},
    {"sbom", Type::Reference, 0, {}, Of(Kind::Sbom), "an SBOM instance"}};
inline constexpr Shape kInstance = MakeShape("instance", kInstanceKeys);

inline constexpr Key kSbomKeys[] = {
    {"id", Type::Id},
    {"symbol", Type::Text},
    {"name", Type::Text},
    {"display_name", Type::Text},
    {"ebom", Type::Reference, 0, {}, Of(Kind::Instance), "an instance"},
    {"parent", Type::Reference, 0, {}, Of(Kind::Sbom), "an SBOM instance"},
    {"properties", Type::TextGroups}};
inline constexpr Shape kSbom = MakeShape("sbom_instance", kSbomKeys);

inline constexpr Key kObjectKeys[] = {{"id", Type::Id}};
inline constexpr Shape kObject = MakeShape("object", kObjectKeys);

inline constexpr Key kSceneKeys[] = {
    {"id", Type::Id}, {"shape", Type::Flag, 1}, {"callouts_engine", Type::Flag, 1}};
inline constexpr Shape kScene = MakeShape("scene", kSceneKeys);

inline constexpr Key kPendingFieldKeys[] = {
    {"instance", Type::Text}, {"parent_instance", Type::Text}, {"sbomInstanceId", Type::Text}};
inline constexpr Shape kPendingFields = MakeShape("pending_fields", kPendingFieldKeys);
inline constexpr Key kPendingKeys[] = {
    {"type", Type::Text}, {"fields", Type::Object, 0, {}, 0, nullptr, &kPendingFields}};
inline constexpr Shape kPending = MakeShape("pending", kPendingKeys);

inline constexpr Key kPartKeys[] = {{"group", Type::Text},
                                    {"property", Type::Text},
                                    {"kind", Type::Text},
                                    {"relation", Type::Text},
                                    {"text", Type::Text}};
inline constexpr Shape kPart = MakeShape("label_part", kPartKeys);
inline constexpr Key kDefinitionKeys[] = {
    {"markdown", Type::Flag}, {"content", Type::List, 0, {}, 0, nullptr, &kPart}};
inline constexpr Shape kDefinition = MakeShape("definition", kDefinitionKeys);

constexpr Kinds kLine = Of(Kind::CenterLine), kOther = Of(Kind::Annotation);
inline constexpr Key kAnnotationKeys[] = {
    {"id", Type::Id},
    {"kind", Type::Word},
    {"object", Type::Reference, 0, {}, kAnyObject, "a kernel object", nullptr, kLine},
    {"pending", Type::Object, 0, {}, 0, nullptr, &kPending, kLine},
    {"short_description", Type::Text, 0, {}, 0, nullptr, nullptr, kCallout},
    {"object_text", Type::Text, 0, {}, 0, nullptr, nullptr, kCallout},
    {"callout_kind", Type::Int, 0, {}, 0, nullptr, nullptr, kCallout},
    {"type", Type::Int, 0, {}, 0, nullptr, nullptr, kCallout},
    {"markdown", Type::Flag, 0, {}, 0, nullptr, nullptr, kCallout},
    {"attachments", Type::Pairs, 0, {}, 0, nullptr, nullptr, kCallout},
    {"members", Type::References, 0, {}, kCallout, "a callout", nullptr, kCallout},
    {"tag", Type::Text, 0, {}, 0, nullptr, nullptr, kCallout},
    {"definition", Type::Object, 0, {}, 0, nullptr, &kDefinition, kCallout},
    {"class", Type::Text, 0, {}, 0, nullptr, nullptr, kOther}};
inline constexpr Shape kAnnotation = MakeShape("annotation", kAnnotationKeys);
// The value of "kind" for each kind of annotation.
inline constexpr std::pair<std::string_view, Kind> kAnnotationKinds[] = {
    {"center_line", Kind::CenterLine}, {"callout", Kind::Callout}, {"annotation", Kind::Annotation}};

inline constexpr Key kItemKeys[] = {
    {"id", Type::Id},
    {"type", Type::Word},
    {"display_name", Type::Text},
    {"object", Type::Reference, 0, {}, kAnyObject, "a kernel object"},
    {"act_instance", Type::Reference, 0, {}, Of(Kind::Instance, Kind::Sbom),
     "an instance or SBOM instance"},
    {"annotation", Type::Reference, 0, {}, kAnyAnnotation, "an annotation"},
    {"geometry", Type::Flag},
    {"parent_object", Type::Reference, 0, {}, kAnyObject, "a kernel object"}};
inline constexpr Shape kItem = MakeShape("selection_item", kItemKeys);

constexpr Kinds kItemOnly = Of(Kind::Item);
inline constexpr Key kTargetKeys[] = {
    {"kind", Type::Int, 2},
    {"item", Type::Reference, 0, {}, kItemOnly, "a selection item"},
    {"scene", Type::Reference, 0, {}, Of(Kind::Scene), "a scene"},
    {"display_name", Type::Text}};
inline constexpr Shape kTarget = MakeShape("target", kTargetKeys);
inline constexpr Key kStoredKeys[] = {{"name", Type::Text}, {"properties", Type::Integers}};
inline constexpr Shape kStored = MakeShape("stored", kStoredKeys);
inline constexpr Key kRenameKeys[] = {{"name", Type::Text}, {"by_user", Type::Flag}};
inline constexpr Shape kRename = MakeShape("rename", kRenameKeys);
inline constexpr Key kTrackKeys[] = {
    {"id", Type::Id},
    {"target", Type::Object, 0, {}, 0, nullptr, &kTarget},
    {"selection_item", Type::Reference, 0, {}, kItemOnly, "a selection item"},
    {"locked", Type::Flag},
    {"parent_track_type", Type::Int, 1},
    {"stored", Type::Object, 0, {}, 0, nullptr, &kStored},
    {"rename", Type::Object, 0, {}, 0, nullptr, &kRename},
    {"refresh", Type::Flag}};
inline constexpr Shape kTrack = MakeShape("track", kTrackKeys);
inline constexpr Key kTimelineKeys[] = {{"save_suppressed", Type::Flag},
                                        {"parent_track_type", Type::Int, 1},
                                        {"tracks", Type::List, 0, {}, 0, nullptr, &kTrack}};
inline constexpr Shape kTimeline = MakeShape("timeline", kTimelineKeys);

inline constexpr Key kTopKeys[] = {
    {"$schema", Type::Text},  // names the schema for an editor; not read
    {"generic_message", Type::Text, 0, standin::kDefaultGenericText},
    {"content_symbol_prefix", Type::Text, 0, standin::kDefaultContentPrefix},
    {"instances", Type::List, 0, {}, 0, nullptr, &kInstance},
    {"sbom", Type::List, 0, {}, 0, nullptr, &kSbom},
    {"objects", Type::List, 0, {}, 0, nullptr, &kObject},
    {"scenes", Type::List, 0, {}, 0, nullptr, &kScene},
    {"annotations", Type::List, 0, {}, 0, nullptr, &kAnnotation},
    {"selection_items", Type::List, 0, {}, 0, nullptr, &kItem},
    {"timeline", Type::Object, 0, {}, 0, nullptr, &kTimeline}};
inline constexpr Shape kTop = MakeShape("illustration", kTopKeys);

}  // namespace format

// The JSON Schema (draft 2020-12) of the format.
void WriteSchema(std::ostream& out);
// Every key of the format, one a line, each once.
void WriteKeys(std::ostream& out);

}  // namespace illhost
