// Annotations: centre lines, callouts and other annotations, whose keys depend on their kind.
#include "illustration_walk.h"

namespace illhost {
namespace reading {

using du::SmartPtr;

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

}  // namespace reading
}  // namespace illhost
