// The illustration format, stated once: the reader walks by these tables; the JSON Schema, the
// fuzz dictionary and the checks of the docs are made from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "standin_texts.h"

namespace illhost {

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
template <class... K>
constexpr Kinds Of(K... kinds) {
  return static_cast<Kinds>(((1u << static_cast<unsigned>(kinds)) | ...));
}

enum class Type : std::uint8_t {
  Id,          // a string, required, unique in the file
  Word,        // a string, required
  Position,    // a 64-bit integer, required
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

constexpr bool Required(Type type) { return type <= Type::Position; }

struct Shape;

struct Key {
  std::string_view name;
  Type type;
  std::int64_t number = 0;       // the default of a flag or integer
  std::string_view text = {};    // the default of a text
  Kinds names = 0;               // what a reference may name
  char const* naming = nullptr;  // how a message calls that
  Shape const* shape = nullptr;  // of an object or list
  Kinds onlyFor = 0;             // an annotation key: the kinds of annotation that have it
  bool dropped = false;  // a track key that says how the track is made or changed: --save drops it
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

// A key's place in its shape, as a constant: `x[At<shape["id"]>]`.
template <std::size_t Place>
inline constexpr std::size_t At = Place;

// The most keys a shape has: the reader gathers an object's values in an array of this size.
constexpr std::size_t kMaxKeys = 14;

template <std::size_t N>
constexpr Shape MakeShape(std::string_view name, Key const (&keys)[N]) {
  static_assert(N <= kMaxKeys, "a shape has at most kMaxKeys keys");
  return Shape{name, keys, N};
}

constexpr Kinds kAnyObject =
    Of(Kind::Instance, Kind::Sbom, Kind::Object, Kind::CenterLine, Kind::Callout, Kind::Annotation);
constexpr Kinds kAnyAnnotation = Of(Kind::CenterLine, Kind::Callout, Kind::Annotation);
constexpr Kinds kCallout = Of(Kind::Callout);

namespace format {

constexpr Key Plain(std::string_view name, Type type, std::int64_t number = 0) {
  return Key{name, type, number};
}
constexpr Key Text(std::string_view name, std::string_view text = {}) {
  return Key{name, Type::Text, 0, text};
}
constexpr Key Ref(std::string_view name, Kinds names, char const* naming,
                  Type type = Type::Reference) {
  return Key{name, type, 0, {}, names, naming};
}
constexpr Key Nested(std::string_view name, Type type, Shape const& shape) {
  return Key{name, type, 0, {}, 0, nullptr, &shape};
}
constexpr Key Only(Kinds annotations, Key key) {
  key.onlyFor = annotations;
  return key;
}
constexpr Key Dropped(Key key) {
  key.dropped = true;
  return key;
}

inline constexpr Key kInstanceKeys[] = {Plain("id", Type::Id), Text("name"), Text("display_name"),
                                        Ref("sbom", Of(Kind::Sbom), "an SBOM instance")};
inline constexpr Shape kInstance = MakeShape("instance", kInstanceKeys);
inline constexpr Key kSbomKeys[] = {Plain("id", Type::Id),
                                    Text("symbol"),
                                    Text("name"),
                                    Text("display_name"),
                                    Ref("ebom", Of(Kind::Instance), "an instance"),
                                    Ref("parent", Of(Kind::Sbom), "an SBOM instance"),
                                    Plain("properties", Type::TextGroups)};
inline constexpr Shape kSbom = MakeShape("sbom_instance", kSbomKeys);
inline constexpr Key kObjectKeys[] = {Plain("id", Type::Id)};
inline constexpr Shape kObject = MakeShape("object", kObjectKeys);
inline constexpr Key kSceneKeys[] = {Plain("id", Type::Id), Plain("shape", Type::Flag, 1),
                                     Plain("callouts_engine", Type::Flag, 1)};
inline constexpr Shape kScene = MakeShape("scene", kSceneKeys);

inline constexpr Key kPendingFieldKeys[] = {Text("instance"), Text("parent_instance"),
                                            Text("sbomInstanceId")};
inline constexpr Shape kPendingFields = MakeShape("pending_fields", kPendingFieldKeys);
inline constexpr Key kPendingKeys[] = {Text("type"),
                                       Nested("fields", Type::Object, kPendingFields)};
inline constexpr Shape kPending = MakeShape("pending", kPendingKeys);
inline constexpr Key kPartKeys[] = {Text("group"), Text("property"), Text("kind"), Text("relation"),
                                    Text("text")};
inline constexpr Shape kPart = MakeShape("label_part", kPartKeys);
inline constexpr Key kDefinitionKeys[] = {Plain("markdown", Type::Flag),
                                          Nested("content", Type::List, kPart)};
inline constexpr Shape kDefinition = MakeShape("definition", kDefinitionKeys);

constexpr Kinds kLine = Of(Kind::CenterLine), kOther = Of(Kind::Annotation);
inline constexpr Key kAnnotationKeys[] = {
    Plain("id", Type::Id),
    Plain("kind", Type::Word),
    Only(kLine, Ref("object", kAnyObject, "a kernel object")),
    Only(kLine, Nested("pending", Type::Object, kPending)),
    Only(kCallout, Text("short_description")),
    Only(kCallout, Text("object_text")),
    Only(kCallout, Plain("callout_kind", Type::Int)),
    Only(kCallout, Plain("type", Type::Int)),
    Only(kCallout, Plain("markdown", Type::Flag)),
    Only(kCallout, Plain("attachments", Type::Pairs)),
    Only(kCallout, Ref("members", kCallout, "a callout", Type::References)),
    Only(kCallout, Text("tag")),
    Only(kCallout, Nested("definition", Type::Object, kDefinition)),
    Only(kOther, Text("class"))};
inline constexpr Shape kAnnotation = MakeShape("annotation", kAnnotationKeys);
inline constexpr std::pair<std::string_view, Kind> kAnnotationKinds[] = {
    {"center_line", Kind::CenterLine},
    {"callout", Kind::Callout},
    {"annotation", Kind::Annotation}};

// How the host makes a selection item of each type it knows; any other is a plain item.
enum class ItemOf : std::uint8_t { Object, Annotation, Geometry, Plain };
inline constexpr std::pair<std::string_view, ItemOf> kItemTypes[] = {
    {"Instance", ItemOf::Object},  {"Assembly", ItemOf::Object},
    {"Collection", ItemOf::Plain}, {"Annotation", ItemOf::Annotation},
    {"Face3D", ItemOf::Geometry},  {"ModelAnnotation3D", ItemOf::Geometry}};
constexpr ItemOf ItemOfType(std::string_view type) {
  for (auto const& [word, of] : kItemTypes)
    if (word == type) return of;
  return ItemOf::Plain;
}

inline constexpr Key kItemKeys[] = {
    Plain("id", Type::Id),
    Plain("type", Type::Word),
    Text("display_name"),
    Ref("object", kAnyObject, "a kernel object"),
    Ref("act_instance", Of(Kind::Instance, Kind::Sbom), "an instance or SBOM instance"),
    Ref("annotation", kAnyAnnotation, "an annotation"),
    Plain("geometry", Type::Flag),  // default: true for Face3D and ModelAnnotation3D items
    Ref("parent_object", kAnyObject, "a kernel object")};
inline constexpr Shape kItem = MakeShape("selection_item", kItemKeys);

inline constexpr Key kTargetKeys[] = {
    Plain("kind", Type::Int, 2), Ref("item", Of(Kind::Item), "a selection item"),
    Ref("scene", Of(Kind::Scene), "a scene"), Text("display_name")};
inline constexpr Shape kTarget = MakeShape("target", kTargetKeys);
inline constexpr Key kStoredKeys[] = {Text("name"), Plain("properties", Type::Integers)};
inline constexpr Shape kStored = MakeShape("stored", kStoredKeys);
inline constexpr Key kRenameKeys[] = {Text("name"), Plain("by_user", Type::Flag)};
inline constexpr Shape kRename = MakeShape("rename", kRenameKeys);
constexpr Kinds kEarlierTrack = Of(Kind::Track);
inline constexpr Key kCutKeys[] = {Ref("track", kEarlierTrack, "an earlier track", Type::Word),
                                   Plain("start", Type::Position), Plain("end", Type::Position)};
inline constexpr Shape kCut = MakeShape("cut_from", kCutKeys);
inline constexpr Key kTrackKeys[] = {
    Plain("id", Type::Id),
    Nested("target", Type::Object, kTarget),
    Ref("selection_item", Of(Kind::Item), "a selection item"),  // default: the target's item
    Plain("locked", Type::Flag),
    Plain("parent_track_type", Type::Int, 1),          // default: the timeline's
    Dropped(Nested("stored", Type::Object, kStored)),  // --save writes its own, last
    Dropped(Nested("rename", Type::Object, kRename)),
    Dropped(Plain("refresh", Type::Flag)),
    Dropped(Ref("copy_of", kEarlierTrack, "an earlier track")),
    Dropped(Nested("cut_from", Type::Object, kCut)),
    Dropped(Ref("copy_from", kEarlierTrack, "an earlier track"))};
inline constexpr Shape kTrack = MakeShape("track", kTrackKeys);
inline constexpr Key kTimelineKeys[] = {Plain("save_suppressed", Type::Flag),
                                        Plain("parent_track_type", Type::Int, 1),
                                        Nested("tracks", Type::List, kTrack)};
inline constexpr Shape kTimeline = MakeShape("timeline", kTimelineKeys);

inline constexpr Key kTopKeys[] = {Text("$schema"),  // names the schema for an editor; not read
                                   Text("generic_message", standin::kDefaultGenericText),
                                   Text("content_symbol_prefix", standin::kDefaultContentPrefix),
                                   Nested("instances", Type::List, kInstance),
                                   Nested("sbom", Type::List, kSbom),
                                   Nested("objects", Type::List, kObject),
                                   Nested("scenes", Type::List, kScene),
                                   Nested("annotations", Type::List, kAnnotation),
                                   Nested("selection_items", Type::List, kItem),
                                   Nested("timeline", Type::Object, kTimeline)};
inline constexpr Shape kTop = MakeShape("illustration", kTopKeys);

}  // namespace format

void WriteSchema(std::ostream& out);

}  // namespace illhost
