// The illustration reader's walk of a file, shared by the files that read each part of it: the
// model is built as the parser goes, and references to ids not read yet wait in a list until
// the end. Every fault is a ReadProblem at the byte where it is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/annotations.h"
#include "host/illustration.h"
#include "id_index.h"
#include "illustration.h"
#include "json_walk.h"
#include "quoting.h"

namespace illhost {
namespace reading {

using du::SmartPtr;

constexpr std::uint16_t Bit(Kind k) {
  return static_cast<std::uint16_t>(1u << static_cast<int>(k));
}
constexpr std::uint16_t kAnyObject = Bit(Kind::Instance) | Bit(Kind::Sbom) | Bit(Kind::Object) |
                                     Bit(Kind::CenterLine) | Bit(Kind::Callout) |
                                     Bit(Kind::Annotation);
constexpr std::uint16_t kAnyAnnotation =
    Bit(Kind::CenterLine) | Bit(Kind::Callout) | Bit(Kind::Annotation);

// The host's constant for a selection-item type, or a symbol of the text.
du::Symbol TypeSymbol(std::string_view text);

// A reference as read: an id, or null.
struct Ref {
  std::string_view id;
  std::size_t offset = 0;
  bool given = false;  // the key is there, even with null
  bool null = true;
};

// What a selection item is made of, kept until the objects it names exist.
struct ItemSpec {
  std::string_view id, type, displayName;
  Ref object, actInstance, annotation, parentObject;
  std::optional<bool> geometry;
};

// A reference that names an id not read yet, and where its object goes once it is.
struct Pending {
  enum Sink : std::uint8_t {
    InstanceSbom,
    SbomEbom,
    SbomParent,
    LineObject,
    CalloutMember,
    TrackTargetItem,
    TrackScene,
    TrackSelectionItem
  };
  Ref ref;
  du::RefCounted* holder;  // the object that takes it; null for a track
  std::size_t index;       // the member's place, or the track's
  Sink sink;
};

struct AnnotationFields;

class Reader {
 public:
  Reader(Illustration& out, std::string_view text, json::document& doc)
      : out_(out), text_(text), doc_(doc), walk_(text.data()) {
    // An id takes at least ten bytes of text ({"id":"x"}); most objects take ten times that.
    index_.Reserve(text.size() / 100);
  }

  void Read();

 private:
  template <class T>
  SmartPtr<T> Keep(T* object) {
    SmartPtr<T> held(object);
    out_.kept.emplace_back(held);
    return held;
  }

  // The object's "id", which every listed object has; `object` is where the object starts.
  static std::string_view RequiredId(std::optional<std::string_view> id, std::size_t object) {
    if (!id) JsonWalk::Fail(object, "missing", ".id");
    return *id;
  }

  void Register(std::string_view id, std::size_t idAt, Kind kind, du::RefCounted* object) {
    if (!index_.Insert(id, kind, object)) JsonWalk::Fail(idAt, "duplicate id " + QuoteInput(id));
  }

  Ref ReadRef(json::value& v) const;

  // What a reference names when it is one of `kinds`; null for null, and for an id not read
  // yet when `later` is set (*later then says so).
  du::RefCounted* Resolve(Ref const& ref, std::uint16_t kinds, char const* what,
                          bool* later = nullptr);

  // Resolves `ref` now when it can, else keeps it for when everything has been read.
  du::RefCounted* ResolveOrWait(Ref const& ref, std::uint16_t kinds, char const* what,
                                Pending::Sink sink, du::RefCounted* holder, std::size_t index);

  void ReadInstance(json::value& v);

  void ReadSbom(json::value& v);

  void ReadObject(json::value& v);

  void ReadScene(json::value& v);

  void ReadAnnotation(json::value& v);
  void ReadAnnotationMember(std::size_t key, json::value& value, AnnotationFields& a);
  SmartPtr<qmk::SelectionItemRepresentation> ReadPending(json::value& v);
  std::pair<std::string_view, std::string_view> ReadPair(json::value& v);
  SmartPtr<qmannotations::TAnnotation> ReadDefinition(json::value& v);
  static Kind AnnotationKind(AnnotationFields const& a);
  void MakeCenterLine(AnnotationFields const& a);
  void MakeCallout(AnnotationFields const& a);
  void ReadRename(json::value& v, TrackSpec& track);
  void FinishTrack(TrackSpec& track, std::size_t number, Ref const& selection,
                   Ref const& targetItem);
  void ReadItem(json::value& v);
  du::SmartPtr<qmk::SelectionItem> MakeItem(ItemSpec const& spec);
  void ReadTimeline(json::value& v);
  void ReadTrack(json::value& v, std::vector<std::size_t>& defaultType);
  void ReadTarget(json::value& v, std::size_t track, Ref& item);
  void ReadStored(json::value& v, TrackSpec& track);
  void Apply(Pending const& p, du::RefCounted* object);
  void ResolvePending();

  Illustration& out_;
  std::string_view text_;
  json::document& doc_;
  JsonWalk walk_;
  IdIndex index_;
  std::vector<Pending> pending_;
  std::vector<ItemSpec> pendingItems_;
};

}  // namespace reading
}  // namespace illhost
