#include "illustration_reader.h"

#include <array>

#include "heap_pages.h"
#include "host/annotations.h"
#include "host/illustration.h"
#include "id_index.h"
#include "input_text.h"
#include "json_syntax.h"
#include "json_walk.h"
#include "quoting.h"
#include "standin_texts.h"

namespace illhost {

namespace {

using du::SmartPtr;
using Keys = std::string_view const[];

constexpr std::uint16_t Bit(Kind k) {
  return static_cast<std::uint16_t>(1u << static_cast<int>(k));
}
constexpr std::uint16_t kAnyObject = Bit(Kind::Instance) | Bit(Kind::Sbom) | Bit(Kind::Object) |
                                     Bit(Kind::CenterLine) | Bit(Kind::Callout) |
                                     Bit(Kind::Annotation);
constexpr std::uint16_t kAnyAnnotation =
    Bit(Kind::CenterLine) | Bit(Kind::Callout) | Bit(Kind::Annotation);

du::Symbol TypeSymbol(std::string_view text) {
  using namespace qmk::mcad_selection;
  for (du::Symbol const* s :
       {&Instance, &Assembly, &Collection, &Annotation, &Face3D, &ModelAnnotation3D})
    if (s->str() == text) return *s;
  return du::Symbol(std::string(text));
}

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

  void Read() {
    du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                              standin::kDefaultGenericText);
    qmk::Instance::s_content_symbolPrefix = du::Symbol(standin::kDefaultContentPrefix);
    json::value root;
    if (doc_.get_value().get(root)) JsonWalk::Fail(0, "not valid JSON");
    static constexpr std::string_view keys[] = {
        "generic_message", "content_symbol_prefix", "instances",       "sbom",    "objects",
        "scenes",          "annotations",           "selection_items", "timeline"};
    walk_.Members(root, keys, [&](std::size_t key, json::value& v, std::size_t) {
      switch (key) {
        case 0:
          if (!walk_.IsNull(v))
            du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                                      std::string(walk_.String(v)));
          break;
        case 1:
          if (!walk_.IsNull(v))
            qmk::Instance::s_content_symbolPrefix = du::Symbol(std::string(walk_.String(v)));
          break;
        case 2:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadInstance(e); });
          break;
        case 3:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadSbom(e); });
          break;
        case 4:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadObject(e); });
          break;
        case 5:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadScene(e); });
          break;
        case 6:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadAnnotation(e); });
          break;
        case 7:
          walk_.List(v, [&](std::size_t, json::value& e) { ReadItem(e); });
          break;
        default:
          ReadTimeline(v);
      }
    });
    char const* after = nullptr;  // the parser answers "out of bounds" at the end
    if (!doc_.current_location().get(after))
      JsonWalk::Fail(static_cast<std::size_t>(after - text_.data()),
                     "text after the end of the document");
    ResolvePending();
  }

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

  Ref ReadRef(json::value& v) const {
    Ref ref;
    ref.given = true;
    ref.offset = walk_.Offset(v);
    if (walk_.IsNull(v)) return ref;
    ref.id = walk_.String(v);
    ref.null = false;
    return ref;
  }

  // What a reference names when it is one of `kinds`; null for null, and for an id not read
  // yet when `later` is set (*later then says so).
  du::RefCounted* Resolve(Ref const& ref, std::uint16_t kinds, char const* what,
                          bool* later = nullptr) {
    if (later) *later = false;
    if (ref.null) return nullptr;
    IdIndex::Entry const* entry = index_.Find(ref.id);
    if (!entry || (entry->kind == Kind::Item && !entry->object && later)) {
      if (!later) JsonWalk::Fail(ref.offset, "no object has the id " + QuoteInput(ref.id));
      *later = true;
      return nullptr;
    }
    if (!(kinds & Bit(entry->kind)))
      JsonWalk::Fail(ref.offset, QuoteInput(ref.id) + " is not " + what);
    return entry->object;
  }

  // Resolves `ref` now when it can, else keeps it for when everything has been read.
  du::RefCounted* ResolveOrWait(Ref const& ref, std::uint16_t kinds, char const* what,
                                Pending::Sink sink, du::RefCounted* holder, std::size_t index) {
    bool later = false;
    du::RefCounted* object = Resolve(ref, kinds, what, &later);
    if (later) pending_.push_back(Pending{ref, holder, index, sink});
    return object;
  }

  void ReadInstance(json::value& v) {
    std::size_t const at = walk_.Offset(v);
    static constexpr std::string_view keys[] = {"id", "name", "display_name", "sbom"};
    std::optional<std::string_view> id;
    std::size_t idAt = 0;
    std::string_view name, displayName;
    Ref sbom;
    walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
      if (key == 0) idAt = walk_.Offset(value), id = walk_.String(value);
      if (key == 1 && !walk_.IsNull(value)) name = walk_.String(value);
      if (key == 2 && !walk_.IsNull(value)) displayName = walk_.String(value);
      if (key == 3) sbom = ReadRef(value);
    });
    std::string const idText(RequiredId(id, at));
    auto instance = out_.model.AddInstance(idText, std::string(name), std::string(displayName));
    Register(*id, idAt, Kind::Instance, instance.get());
    instance->SetSbomInstance(static_cast<qmk::illustration::SbomInstance*>(ResolveOrWait(
        sbom, Bit(Kind::Sbom), "an SBOM instance", Pending::InstanceSbom, instance.get(), 0)));
  }

  void ReadSbom(json::value& v) {
    std::size_t const at = walk_.Offset(v);
    static constexpr std::string_view keys[] = {"id",   "symbol", "name",      "display_name",
                                                "ebom", "parent", "properties"};
    std::optional<std::string_view> id;
    std::size_t idAt = 0;
    std::string_view texts[4];  // symbol, name, display name
    Ref ebom, parent;
    std::vector<std::array<std::string_view, 3>> properties;
    walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
      if (key == 0) {
        idAt = walk_.Offset(value), id = walk_.String(value);
      } else if (key <= 3) {
        if (!walk_.IsNull(value)) texts[key] = walk_.String(value);
      } else if (key == 4) {
        ebom = ReadRef(value);
      } else if (key == 5) {
        parent = ReadRef(value);
      } else if (!walk_.IsNull(value)) {
        walk_.Map(value, [&](std::string_view group, json::value& names) {
          walk_.Map(names, [&](std::string_view name, json::value& text) {
            properties.push_back({group, name, walk_.String(text)});
          });
        });
      }
    });
    std::string const idText(RequiredId(id, at));
    auto sbom = out_.model.AddSbom(idText, std::string(texts[1]), std::string(texts[2]),
                                   std::string(texts[3]));
    Register(*id, idAt, Kind::Sbom, sbom.get());
    out_.sbomIds[sbom.get()] = idText;
    for (auto const& [group, name, text] : properties)
      sbom->SetProperty(std::string(group), std::string(name), du::Symbol(std::string(text)));
    sbom->SetEbomInstance(static_cast<qmk::Instance*>(
        ResolveOrWait(ebom, Bit(Kind::Instance), "an instance", Pending::SbomEbom, sbom.get(), 0)));
    sbom->SetParent(static_cast<qmk::illustration::SbomInstance*>(ResolveOrWait(
        parent, Bit(Kind::Sbom), "an SBOM instance", Pending::SbomParent, sbom.get(), 0)));
  }

  void ReadObject(json::value& v) {
    std::size_t const at = walk_.Offset(v);
    static constexpr std::string_view keys[] = {"id"};
    std::optional<std::string_view> id;
    std::size_t idAt = 0;
    walk_.Members(v, keys, [&](std::size_t, json::value& value, std::size_t) {
      idAt = walk_.Offset(value), id = walk_.String(value);
    });
    RequiredId(id, at);
    Register(*id, idAt, Kind::Object, Keep(new qmk::Object).get());
  }

  void ReadScene(json::value& v) {
    std::size_t const at = walk_.Offset(v);
    static constexpr std::string_view keys[] = {"id", "shape", "callouts_engine"};
    std::optional<std::string_view> id;
    std::size_t idAt = 0;
    bool flags[3] = {false, true, true};
    walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
      if (key == 0)
        idAt = walk_.Offset(value), id = walk_.String(value);
      else if (!walk_.IsNull(value))
        flags[key] = walk_.Flag(value);
    });
    RequiredId(id, at);
    SmartPtr<qmk::Scene> scene = flags[1] ? SmartPtr<qmk::Scene>(out_.model.AddShapeScene(flags[2]))
                                          : out_.model.AddPlainScene();
    Register(*id, idAt, Kind::Scene, scene.get());
  }

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

// The keys of every kind of annotation, and what an annotation's object gave for them.
enum AnnotationKey : std::size_t {
  kId,
  kKind,
  kObject,
  kPending,
  kShortDescription,
  kObjectText,
  kCalloutKind,
  kType,
  kMarkdown,
  kAttachments,
  kMembers,
  kTag,
  kDefinition,
  kClass,
  kAnnotationKeys
};
constexpr std::string_view kAnnotationKeyNames[] = {
    "id",          "kind",         "object",     "pending",  "short_description",
    "object_text", "callout_kind", "type",       "markdown", "attachments",
    "members",     "tag",          "definition", "class"};

struct AnnotationFields {
  std::array<std::size_t, kAnnotationKeys> keyAt{};
  std::uint32_t given = 0;
  std::optional<std::string_view> id, kind;
  std::size_t idAt = 0, kindAt = 0;
  std::string_view texts[kAnnotationKeys];  // short description, object text, tag, class
  int numbers[kAnnotationKeys] = {};        // callout kind, type
  bool markdown = false;
  Ref object;
  std::vector<Ref> members;
  std::vector<std::pair<std::string_view, std::string_view>> attachments;
  SmartPtr<qmk::SelectionItemRepresentation> pending;
  SmartPtr<qmannotations::TAnnotation> definition;
};

void Reader::ReadAnnotation(json::value& v) {
  std::size_t const at = walk_.Offset(v);
  AnnotationFields a;
  walk_.Members(v, kAnnotationKeyNames,
                [&](std::size_t key, json::value& value, std::size_t keyAt) {
                  a.keyAt[key] = keyAt;
                  a.given |= 1u << key;
                  ReadAnnotationMember(key, value, a);
                });
  RequiredId(a.id, at);
  if (!a.kind) JsonWalk::Fail(at, "missing", ".kind");
  Kind const kind = AnnotationKind(a);
  if (kind == Kind::CenterLine) {
    MakeCenterLine(a);
  } else if (kind == Kind::Callout) {
    MakeCallout(a);
  } else {
    std::string_view const cls = a.texts[kClass];
    du::Symbol const symbol = cls == qmannotations::ConstStrings::qmCenterLine.str()
                                  ? qmannotations::ConstStrings::qmCenterLine
                              : cls == qmannotations::ConstStrings::qmCalloutLabel.str()
                                  ? qmannotations::ConstStrings::qmCalloutLabel
                                  : du::Symbol(std::string(cls));
    Register(*a.id, a.idAt, kind, Keep(new qmk::Annotation(symbol)).get());
  }
}

void Reader::ReadAnnotationMember(std::size_t key, json::value& value, AnnotationFields& a) {
  switch (key) {
    case kId:
      a.idAt = walk_.Offset(value), a.id = walk_.String(value);
      break;
    case kKind:
      a.kindAt = walk_.Offset(value), a.kind = walk_.String(value);
      break;
    case kObject:
      a.object = ReadRef(value);
      break;
    case kPending:
      a.pending = ReadPending(value);
      break;
    case kCalloutKind:
    case kType:
      if (!walk_.IsNull(value)) a.numbers[key] = walk_.SmallInteger(value);
      break;
    case kMarkdown:
      a.markdown = !walk_.IsNull(value) && walk_.Flag(value);
      break;
    case kAttachments:
      walk_.List(value,
                 [&](std::size_t, json::value& pair) { a.attachments.push_back(ReadPair(pair)); });
      break;
    case kMembers:
      walk_.List(value,
                 [&](std::size_t, json::value& member) { a.members.push_back(ReadRef(member)); });
      break;
    case kDefinition:
      a.definition = ReadDefinition(value);
      break;
    default:  // the texts: short description, object text, tag, class
      if (!walk_.IsNull(value)) a.texts[key] = walk_.String(value);
  }
}

SmartPtr<qmk::SelectionItemRepresentation> Reader::ReadPending(json::value& v) {
  if (walk_.IsNull(v)) return {};
  static constexpr std::string_view keys[] = {"type", "fields"};
  static constexpr std::string_view fieldKeys[] = {"instance", "parent_instance", "sbomInstanceId"};
  std::string_view type;
  std::vector<std::pair<std::string_view, std::string_view>> fields;
  walk_.Members(v, keys, [&](std::size_t key, json::value& part, std::size_t) {
    if (walk_.IsNull(part)) return;
    if (key == 0) {
      type = walk_.String(part);
      return;
    }
    walk_.Members(part, fieldKeys, [&](std::size_t f, json::value& text, std::size_t) {
      fields.emplace_back(fieldKeys[f],
                          walk_.IsNull(text) ? std::string_view() : walk_.String(text));
    });
  });
  SmartPtr<qmk::SelectionItemRepresentation> pending(
      new qmk::SelectionItemRepresentation(TypeSymbol(type)));
  for (auto const& [field, text] : fields) pending->SetField(std::string(field), std::string(text));
  return pending;
}

std::pair<std::string_view, std::string_view> Reader::ReadPair(json::value& v) {
  std::size_t const at = walk_.Offset(v);
  std::string_view ids[2];
  std::size_t count = 0;
  walk_.List(v, [&](std::size_t i, json::value& text) {
    if (i < 2) ids[i] = walk_.String(text);
    count = i + 1;
  });
  if (count != 2) JsonWalk::Fail(at, "expected a pair [first, second]");
  return {ids[0], ids[1]};
}

SmartPtr<qmannotations::TAnnotation> Reader::ReadDefinition(json::value& v) {
  SmartPtr<qmannotations::TAnnotation> definition(new qmannotations::TAnnotation);
  if (walk_.IsNull(v)) return definition;
  static constexpr std::string_view keys[] = {"markdown", "content"};
  static constexpr std::string_view partKeys[] = {"group", "property", "kind", "relation", "text"};
  qmannotations::LabelContentList content;
  walk_.Members(v, keys, [&](std::size_t key, json::value& part, std::size_t) {
    if (key == 0) {
      definition->SetMarkdown(!walk_.IsNull(part) && walk_.Flag(part));
      return;
    }
    walk_.List(part, [&](std::size_t, json::value& item) {
      std::string fields[5];
      walk_.Members(item, partKeys, [&](std::size_t f, json::value& text, std::size_t) {
        if (!walk_.IsNull(text)) fields[f] = std::string(walk_.String(text));
      });
      content.push_back(hostmodel::Part(std::move(fields[0]), std::move(fields[1]),
                                        std::move(fields[2]), std::move(fields[3]),
                                        std::move(fields[4])));
    });
  });
  definition->SetContent(std::move(content));
  return definition;
}

// The kind of an annotation, once its keys are all among those its kind has.
Kind Reader::AnnotationKind(AnnotationFields const& a) {
  std::uint32_t allowed = 1u << kId | 1u << kKind;
  Kind kind = Kind::Annotation;
  if (*a.kind == "center_line") {
    allowed |= 1u << kObject | 1u << kPending;
    kind = Kind::CenterLine;
  } else if (*a.kind == "callout") {
    allowed |= 1u << kShortDescription | 1u << kObjectText | 1u << kCalloutKind | 1u << kType |
               1u << kMarkdown | 1u << kAttachments | 1u << kMembers | 1u << kTag |
               1u << kDefinition;
    kind = Kind::Callout;
  } else if (*a.kind == "annotation") {
    allowed |= 1u << kClass;
  } else {
    JsonWalk::Fail(a.kindAt, "unknown annotation kind " + QuoteInput(*a.kind));
  }
  std::size_t first = kAnnotationKeys;  // the unknown key that comes first in the text
  for (std::size_t key = 0; key < kAnnotationKeys; ++key) {
    bool const unknown = (a.given & ~allowed) & (1u << key);
    if (unknown && (first == kAnnotationKeys || a.keyAt[key] < a.keyAt[first])) first = key;
  }
  if (first != kAnnotationKeys)
    JsonWalk::Fail(a.keyAt[first], "unknown key " + QuoteInput(kAnnotationKeyNames[first]));
  return kind;
}

void Reader::MakeCenterLine(AnnotationFields const& a) {
  auto line = out_.model.AddCenterLine();
  Register(*a.id, a.idAt, Kind::CenterLine, line.get());
  if (auto* found = ResolveOrWait(a.object, kAnyObject, "a kernel object", Pending::LineObject,
                                  line.get(), 0))
    line->AddObject(SmartPtr<qmk::Object>(static_cast<qmk::Object*>(found)));
  if (a.pending) line->SetMainPendingObject(a.pending);
}

void Reader::MakeCallout(AnnotationFields const& a) {
  auto callout = out_.model.AddCallout("", {}, "");
  Register(*a.id, a.idAt, Kind::Callout, callout.get());
  callout->SetShortObjectDescription(std::string(a.texts[kShortDescription]));
  callout->SetObjectText(std::string(a.texts[kObjectText]));
  callout->m_calloutKind = a.numbers[kCalloutKind];
  callout->SetType(a.numbers[kType]);
  callout->SetMarkdown(a.markdown);
  callout->SetTag(std::string(a.texts[kTag]));
  for (auto const& [first, second] : a.attachments)
    callout->m_attachments.emplace_back(
        new qmannotations::AttachmentRecord(std::string(first), std::string(second)));
  if (a.given & (1u << kMembers)) {
    callout->SetGroup(true);
    for (Ref const& member : a.members) {
      auto* found = ResolveOrWait(member, Bit(Kind::Callout), "a callout", Pending::CalloutMember,
                                  callout.get(), callout->m_groupMembers.size());
      callout->m_groupMembers.emplace_back(static_cast<qmannotations::Callout*>(found));
    }
  }
  callout->SetDefinition(
      a.definition ? a.definition
                   : SmartPtr<qmannotations::TAnnotation>(new qmannotations::TAnnotation));
}

void Reader::ReadItem(json::value& v) {
  std::size_t const at = walk_.Offset(v);
  static constexpr std::string_view keys[] = {"id",       "type",         "display_name",
                                              "object",   "act_instance", "annotation",
                                              "geometry", "parent_object"};
  ItemSpec spec;
  std::optional<std::string_view> id, type;
  std::size_t idAt = 0;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    switch (key) {
      case 0:
        idAt = walk_.Offset(value), id = walk_.String(value);
        break;
      case 1:
        type = walk_.String(value);
        break;
      case 2:
        if (!walk_.IsNull(value)) spec.displayName = walk_.String(value);
        break;
      case 3:
        spec.object = ReadRef(value);
        break;
      case 4:
        spec.actInstance = ReadRef(value);
        break;
      case 5:
        spec.annotation = ReadRef(value);
        break;
      case 6:
        if (!walk_.IsNull(value)) spec.geometry = walk_.Flag(value);
        break;
      default:
        spec.parentObject = ReadRef(value);
    }
  });
  spec.id = RequiredId(id, at);
  if (!type) JsonWalk::Fail(at, "missing", ".type");
  spec.type = *type;
  bool const objectType = spec.type == "Instance" || spec.type == "Assembly";
  if (!objectType && spec.object.given)
    JsonWalk::Fail(spec.object.offset, "only Instance and Assembly items have an object");
  if (spec.type != "Annotation" && spec.annotation.given)
    JsonWalk::Fail(spec.annotation.offset, "only Annotation items have an annotation");
  Register(spec.id, idAt, Kind::Item, nullptr);
  // Made now when everything it names has been read, else once the whole file has.
  for (Ref const* ref : {&spec.object, &spec.actInstance, &spec.annotation, &spec.parentObject}) {
    if (!ref->null && !index_.Find(ref->id)) {
      pendingItems_.push_back(spec);
      return;
    }
  }
  MakeItem(spec);
}

SmartPtr<qmk::SelectionItem> Reader::MakeItem(ItemSpec const& spec) {
  du::Symbol const type = TypeSymbol(spec.type);
  std::string name(spec.displayName);
  bool const objectType = spec.type == "Instance" || spec.type == "Assembly";
  bool const geometry =
      spec.geometry.value_or(spec.type == "Face3D" || spec.type == "ModelAnnotation3D");
  // Every reference is checked, whether or not this kind of item uses it.
  SmartPtr<qmk::Object> object(
      static_cast<qmk::Object*>(Resolve(spec.object, kAnyObject, "a kernel object")));
  SmartPtr<qmk::Object> parent(
      static_cast<qmk::Object*>(Resolve(spec.parentObject, kAnyObject, "a kernel object")));
  SmartPtr<qmk::Annotation> annotation(
      static_cast<qmk::Annotation*>(Resolve(spec.annotation, kAnyAnnotation, "an annotation")));
  SmartPtr<qmk::BaseInstance> act(static_cast<qmk::BaseInstance*>(Resolve(
      spec.actInstance, Bit(Kind::Instance) | Bit(Kind::Sbom), "an instance or SBOM instance")));
  SmartPtr<qmk::SelectionItem> item;
  if (objectType) {
    item = out_.model.AddObjectItem(type, object, name);
  } else if (spec.type == "Annotation") {
    item = out_.model.AddAnnotationItem(annotation, name);
  } else if (geometry) {
    item = out_.model.AddGeometryItem(type, parent, name);
  } else {
    item = Keep(new qmk::SelectionItem(type));
    item->SetDisplayName(std::move(name));
  }
  item->SetActInstance(spec.actInstance.given ? act : object.DynamicCast<qmk::BaseInstance>());
  index_.Find(spec.id)->object = item.get();
  out_.itemIds[item.get()] = std::string(spec.id);
  return item;
}

void Reader::ReadTimeline(json::value& v) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"save_suppressed", "parent_track_type", "tracks"};
  int parentType = 1;
  std::vector<std::size_t> defaultType;  // tracks that take the timeline's parent track type
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (key == 2) {
      out_.tracks.reserve(text_.size() / 256);
      walk_.List(value, [&](std::size_t, json::value& track) { ReadTrack(track, defaultType); });
    } else if (!walk_.IsNull(value)) {
      if (key == 0) out_.saveSuppressed = walk_.Flag(value);
      if (key == 1) parentType = walk_.SmallInteger(value);
    }
  });
  for (std::size_t track : defaultType) out_.tracks[track].parentTrackType = parentType;
}

void Reader::ReadTrack(json::value& v, std::vector<std::size_t>& defaultType) {
  std::size_t const at = walk_.Offset(v);
  std::size_t const number = out_.tracks.size();
  static constexpr std::string_view keys[] = {
      "id",     "target", "selection_item", "locked", "parent_track_type",
      "stored", "rename", "refresh"};
  out_.tracks.emplace_back();
  std::optional<std::string_view> id;
  std::size_t idAt = 0;
  Ref targetItem, selection;
  bool typeGiven = false;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    TrackSpec& track = out_.tracks[number];
    if (key == 0) {
      idAt = walk_.Offset(value), id = walk_.String(value);
    } else if (key == 1) {
      ReadTarget(value, number, targetItem);
    } else if (key == 2) {
      selection = ReadRef(value);
    } else if (key == 5) {
      ReadStored(value, track);
    } else if (key == 6) {
      ReadRename(value, track);
    } else if (!walk_.IsNull(value)) {
      if (key == 3) track.locked = walk_.Flag(value);
      if (key == 4) track.parentTrackType = walk_.SmallInteger(value), typeGiven = true;
      if (key == 7) track.refresh = walk_.Flag(value);
    }
  });
  TrackSpec& track = out_.tracks[number];
  track.id = std::string(RequiredId(id, at));
  Register(*id, idAt, Kind::Track, nullptr);
  if (!typeGiven) defaultType.push_back(number);
  track.textBegin = at;
  FinishTrack(track, number, selection, targetItem);
}

void Reader::ReadRename(json::value& v, TrackSpec& track) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"name", "by_user"};
  auto rename = std::make_unique<TrackSpec::Rename>();
  walk_.Members(v, keys, [&](std::size_t key, json::value& part, std::size_t) {
    if (walk_.IsNull(part)) return;
    if (key == 0) rename->name = std::string(walk_.String(part));
    if (key == 1) rename->byUser = walk_.Flag(part);
  });
  track.rename = std::move(rename);
}

// Where the track's object ends, and its selection item: the one named, else the target's.
void Reader::FinishTrack(TrackSpec& track, std::size_t number, Ref const& selection,
                         Ref const& targetItem) {
  // The parser stands on the ',' or ']' after the object; the object ends at its '}'.
  char const* next = nullptr;
  std::size_t end = text_.size();
  if (!doc_.current_location().get(next)) end = static_cast<std::size_t>(next - text_.data());
  while (end > track.textBegin && text_[end - 1] != '}') --end;
  track.textEnd = end;
  if (selection.given) {
    track.selectionItem = static_cast<qmk::SelectionItem*>(
        ResolveOrWait(selection, Bit(Kind::Item), "a selection item", Pending::TrackSelectionItem,
                      nullptr, number));
    return;
  }
  if (!track.target) return;
  track.selectionItem = track.target->m_selectionItem;
  if (!targetItem.null && !track.selectionItem)  // the item is made later: follow it then
    pending_.push_back(Pending{targetItem, nullptr, number, Pending::TrackSelectionItem});
}

void Reader::ReadTarget(json::value& v, std::size_t number, Ref& item) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"kind", "item", "scene", "display_name"};
  auto target = Keep(new animation::Target);
  target->m_kind = 2;
  Ref scene;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (key == 0 && !walk_.IsNull(value)) target->m_kind = walk_.SmallInteger(value);
    if (key == 1) item = ReadRef(value);
    if (key == 2) scene = ReadRef(value);
    if (key == 3)
      target->m_displayName =
          walk_.IsNull(value) ? std::string() : std::string(walk_.String(value));
  });
  target->m_selectionItem = static_cast<qmk::SelectionItem*>(ResolveOrWait(
      item, Bit(Kind::Item), "a selection item", Pending::TrackTargetItem, nullptr, number));
  target->m_scene = static_cast<qmk::Scene*>(
      ResolveOrWait(scene, Bit(Kind::Scene), "a scene", Pending::TrackScene, nullptr, number));
  out_.tracks[number].target = target;
}

void Reader::ReadStored(json::value& v, TrackSpec& track) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"name", "properties"};
  TrackSpec::Stored stored;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (walk_.IsNull(value)) return;
    if (key == 0) {
      stored.name = std::string(walk_.String(value));
      return;
    }
    walk_.Map(value, [&](std::string_view name, json::value& number) {
      stored.properties.emplace_back(du::Symbol(std::string(name)), walk_.Integer(number));
    });
  });
  track.stored = std::make_unique<TrackSpec::Stored>(std::move(stored));
}

void Reader::Apply(Pending const& p, du::RefCounted* object) {
  TrackSpec* track = p.holder ? nullptr : &out_.tracks[p.index];
  switch (p.sink) {
    case Pending::InstanceSbom:
      static_cast<qmk::Instance*>(p.holder)->SetSbomInstance(
          static_cast<qmk::illustration::SbomInstance*>(object));
      break;
    case Pending::SbomEbom:
      static_cast<qmk::illustration::SbomInstance*>(p.holder)->SetEbomInstance(
          static_cast<qmk::Instance*>(object));
      break;
    case Pending::SbomParent:
      static_cast<qmk::illustration::SbomInstance*>(p.holder)->SetParent(
          static_cast<qmk::illustration::SbomInstance*>(object));
      break;
    case Pending::LineObject:
      static_cast<qmannotations::CenterLinesAnnotation*>(p.holder)->AddObject(
          SmartPtr<qmk::Object>(static_cast<qmk::Object*>(object)));
      break;
    case Pending::CalloutMember:
      static_cast<qmannotations::Callout*>(p.holder)->m_groupMembers[p.index] =
          static_cast<qmannotations::Callout*>(object);
      break;
    case Pending::TrackTargetItem:
      track->target->m_selectionItem = static_cast<qmk::SelectionItem*>(object);
      break;
    case Pending::TrackScene:
      track->target->m_scene = static_cast<qmk::Scene*>(object);
      break;
    case Pending::TrackSelectionItem:
      track->selectionItem = static_cast<qmk::SelectionItem*>(object);
      break;
  }
}

void Reader::ResolvePending() {
  // Objects first, then the items made of them, then the tracks that show the items.
  auto const kinds = [](Pending::Sink sink) -> std::pair<std::uint16_t, char const*> {
    switch (sink) {
      case Pending::InstanceSbom:
      case Pending::SbomParent:
        return {Bit(Kind::Sbom), "an SBOM instance"};
      case Pending::SbomEbom:
        return {Bit(Kind::Instance), "an instance"};
      case Pending::LineObject:
        return {kAnyObject, "a kernel object"};
      case Pending::CalloutMember:
        return {Bit(Kind::Callout), "a callout"};
      case Pending::TrackScene:
        return {Bit(Kind::Scene), "a scene"};
      default:
        return {Bit(Kind::Item), "a selection item"};
    }
  };
  for (bool tracks : {false, true}) {
    if (tracks)
      for (ItemSpec const& spec : pendingItems_) MakeItem(spec);
    for (Pending const& p : pending_) {
      if ((p.holder == nullptr) != tracks) continue;
      auto const [allowed, what] = kinds(p.sink);
      Apply(p, Resolve(p.ref, allowed, what));
    }
  }
}

// The one-line message for a problem: a fault of the JSON itself comes first, wherever it is.
std::string Message(std::string_view text, std::string const& name, ReadProblem const& problem) {
  SyntaxCheck const check = CheckSyntax(text, problem.offset);
  if (check.problem)
    return name + ":" + DescribePlace(text, check.problem->offset) + ": " + check.problem->path +
           ": " + check.problem->what;
  return name + ":" + DescribePlace(text, problem.offset) + ": " +
         check.pathAtWanted.value_or("$") + problem.pathSuffix + ": " + problem.what;
}

}  // namespace

std::unique_ptr<Illustration> ReadIllustration(InputText const& input) {
  std::string_view const text = input.Text();
  // The model, the tracks and their results take up to about six times the text.
  PrepareHeapFor(text.size() * 6);
  auto illustration = std::make_unique<Illustration>();
  try {
    json::parser parser;
    json::document doc;
    if (parser.iterate(text.data(), text.size(), text.size() + InputText::kPadding).get(doc))
      JsonWalk::Fail(0, "not valid JSON");
    Reader(*illustration, text, doc).Read();
  } catch (ReadProblem const& problem) {
    throw ReadError(Message(text, input.Name(), problem));
  }
  for (TrackSpec const& track : illustration->tracks) {
    if (!track.stored) continue;
    for (auto const& [key, value] : track.stored->properties) {
      auto const kept = static_cast<std::int16_t>(static_cast<std::uint16_t>(value & 0xFFFF));
      if (key.str() == "name_type" && kept != value)
        illustration->warnings.push_back("track " + QuoteInput(track.id) + ": stored name_type " +
                                         std::to_string(value) +
                                         " is outside 16 bits and is read as " +
                                         std::to_string(kept) + "; --save writes that value");
    }
  }
  return illustration;
}

std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName) {
  return ReadIllustration(InputText::FromText(text, fileName));
}

}  // namespace illhost
