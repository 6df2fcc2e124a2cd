#include "illustration_reader.h"

#include <boost/unordered/unordered_flat_map.hpp>
#include <functional>
#include <nlohmann/json.hpp>

#include "host/annotations.h"
#include "host/illustration.h"
#include "input_text.h"
#include "json_walk.h"
#include "quoting.h"

namespace illhost {

namespace {

using du::SmartPtr;
namespace f = format;

// The host's constant for a selection-item type, or a symbol of the text.
du::Symbol TypeSymbol(std::string_view text) {
  using namespace qmk::mcad_selection;
  for (du::Symbol const* s :
       {&Instance, &Assembly, &Collection, &Annotation, &Face3D, &ModelAnnotation3D})
    if (s->str() == text) return *s;
  return du::Symbol(std::string(text));
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Builds the illustration in the host stand-in as the parser walks the text. A reference to an
// id not read yet waits, with the path where it was, until everything has been read.
class Reader {
 public:
  Reader(Illustration& out, std::string_view text, json::document& doc)
      : out_(out), text_(text), doc_(doc), walk_(text.data()) {
    ids_.reserve(text.size() / 100);  // most objects take a hundred bytes or more
  }

  void Read() {
    constexpr auto& s = f::kTop;
    constexpr std::size_t kTimeline = s["timeline"], kInstances = s["instances"], kSbom = s["sbom"],
                          kObjects = s["objects"], kScenes = s["scenes"],
                          kAnnotations = s["annotations"], kSelectionItems = s["selection_items"],
                          kGenericMessage = s["generic_message"],
                          kContentSymbolPrefix = s["content_symbol_prefix"];
    json::object root;
    if (doc_.get_object().get(root))
      throw ReadProblem{std::min(text_.find_first_not_of(" \t\n\r"), text_.size()), "$",
                        "expected an object"};
    Fields const top = walk_.Read(root, 0, s, [&](std::size_t key, json::value& v) {
      if (key == kTimeline) return ReadTimeline(v);
      walk_.List(v, [&](std::size_t, json::value& e) {
        if (key == kInstances) ReadInstance(e);
        if (key == kSbom) ReadSbom(e);
        if (key == kObjects) ReadObject(e);
        if (key == kScenes) ReadScene(e);
        if (key == kAnnotations) ReadAnnotation(e);
        if (key == kSelectionItems) ReadItem(e);
      });
    });
    char const* after = nullptr;  // the parser answers "out of bounds" at the end
    if (!doc_.current_location().get(after))
      throw ReadProblem{static_cast<std::size_t>(after - text_.data()), "$",
                        "text after the end of the document"};
    du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                              std::string(top.Text(kGenericMessage)));
    qmk::Instance::s_content_symbolPrefix = du::Symbol(std::string(top.Text(kContentSymbolPrefix)));
    ResolvePending();
  }

 private:
  struct Named {
    du::RefCounted* object;  // null for a track, and for a selection item not made yet
    Kind kind;
  };
  struct Pending {
    std::string_view id;
    std::size_t at;
    Key const* key;
    std::string where;
    std::function<void(du::RefCounted*)> take;
  };
  struct LateItem {
    Fields fields;
    std::string where;
  };

  static void Ignore(std::size_t, json::value&) {}

  template <class T>
  SmartPtr<T> Keep(T* object) {
    SmartPtr<T> held(object);
    out_.kept.emplace_back(held);
    return held;
  }

  void Register(Field const& id, Kind kind, du::RefCounted* object) {
    if (!ids_.emplace(id.text, Named{object, kind}).second)
      throw ReadProblem{id.at, walk_.Where("id"), "duplicate id " + QuoteInput(id.text)};
  }

  // What the id at `at` names, when it is what `key` may name.
  template <class Where>
  du::RefCounted* Resolve(std::string_view id, std::size_t at, Key const& key,
                          Where&& where) const {
    auto const found = ids_.find(id);
    if (found == ids_.end())
      throw ReadProblem{at, where(), "no object has the id " + QuoteInput(id)};
    if (!(key.names & Of(found->second.kind)))
      throw ReadProblem{at, where(), QuoteInput(id) + " is not " + key.naming};
    return found->second.object;
  }

  // Gives take() what `ref` names now when it can, else once everything has been read; then the
  // place of the reference in pending_.
  template <class T, class Take>
  std::size_t Link(Field const& ref, Key const& key, Take take,
                   std::size_t const* index = nullptr) {
    if (ref.null) return kNone;
    auto const found = ids_.find(ref.text);
    auto const give = [take](du::RefCounted* object) { take(static_cast<T*>(object)); };
    if (found == ids_.end() || (found->second.kind == Kind::Item && !found->second.object)) {
      pending_.push_back(Pending{ref.text, ref.at, &key, walk_.Where(key.name, index), give});
      return pending_.size() - 1;
    }
    give(Resolve(ref.text, ref.at, key, [&] { return walk_.Where(key.name, index); }));
    return kNone;
  }

  Field ReadRef(json::value& v) {
    Field ref;
    ref.at = walk_.Offset(v);
    ref.given = true;
    ref.null = walk_.IsNull(v);
    if (!ref.null) ref.text = walk_.String(v);
    return ref;
  }

  void ReadInstance(json::value& v) {
    constexpr auto& s = f::kInstance;
    constexpr std::size_t kId = s["id"], kName = s["name"], kDisplayName = s["display_name"],
                          kSbom = s["sbom"];
    Fields const x = walk_.Read(v, s, Ignore);
    auto instance = out_.model.AddInstance(std::string(x.Text(kId)), std::string(x.Text(kName)),
                                           std::string(x.Text(kDisplayName)));
    Register(x[kId], Kind::Instance, instance.get());
    Link<qmk::illustration::SbomInstance>(
        x[kSbom], s.keys[kSbom],
        [instance = instance.get()](auto* sbom) { instance->SetSbomInstance(sbom); });
  }

  void ReadSbom(json::value& v) {
    constexpr auto& s = f::kSbom;
    constexpr std::size_t kId = s["id"], kSymbol = s["symbol"], kName = s["name"],
                          kDisplayName = s["display_name"], kEbom = s["ebom"],
                          kParent = s["parent"];
    std::vector<std::array<std::string_view, 3>> properties;
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& groups) {
      walk_.Map(groups, [&](std::string_view group, json::value& names) {
        walk_.Map(names, [&](std::string_view name, json::value& text) {
          properties.push_back({group, name, walk_.String(text)});
        });
      });
    });
    std::string const id(x.Text(kId));
    auto sbom = out_.model.AddSbom(id, std::string(x.Text(kSymbol)), std::string(x.Text(kName)),
                                   std::string(x.Text(kDisplayName)));
    Register(x[kId], Kind::Sbom, sbom.get());
    out_.sbomIds.Set(sbom.get(), id);
    for (auto const& [group, name, text] : properties)
      sbom->SetProperty(std::string(group), std::string(name), std::string(text));
    Link<qmk::Instance>(x[kEbom], s.keys[kEbom],
                        [sbom = sbom.get()](auto* ebom) { sbom->SetEbomInstance(ebom); });
    Link<qmk::illustration::SbomInstance>(
        x[kParent], s.keys[kParent],
        [sbom = sbom.get()](auto* parent) { sbom->SetParent(parent); });
  }

  void ReadObject(json::value& v) {
    Fields const x = walk_.Read(v, f::kObject, Ignore);
    Register(x[0], Kind::Object, Keep(new qmk::Object).get());
  }

  void ReadScene(json::value& v) {
    constexpr auto& s = f::kScene;
    constexpr std::size_t kShape = s["shape"], kCalloutsEngine = s["callouts_engine"],
                          kId = s["id"];
    Fields const x = walk_.Read(v, s, Ignore);
    SmartPtr<qmk::Scene> scene =
        x.Flag(kShape) ? SmartPtr<qmk::Scene>(out_.model.AddShapeScene(x.Flag(kCalloutsEngine)))
                       : out_.model.AddPlainScene();
    Register(x[kId], Kind::Scene, scene.get());
  }

  void ReadAnnotation(json::value& v) {
    constexpr auto& s = f::kAnnotation;
    constexpr std::size_t kPending = s["pending"], kDefinition = s["definition"],
                          kMembers = s["members"], kAttachments = s["attachments"],
                          kKind = s["kind"], kId = s["id"], kObject = s["object"],
                          kShortDescription = s["short_description"],
                          kObjectText = s["object_text"], kCalloutKind = s["callout_kind"],
                          kType = s["type"], kMarkdown = s["markdown"], kTag = s["tag"],
                          kClass = s["class"];
    std::vector<Field> members;
    std::vector<std::pair<std::string, std::string>> attachments;
    SmartPtr<qmk::SelectionItemRepresentation> pending;
    SmartPtr<qmannotations::TAnnotation> definition(new qmannotations::TAnnotation);
    Fields const x = walk_.Read(v, s, [&](std::size_t key, json::value& value) {
      if (key == kPending) pending = ReadPending(value);
      if (key == kDefinition) ReadDefinition(value, *definition);
      if (key == kMembers)
        walk_.List(value, [&](std::size_t, json::value& ref) { members.push_back(ReadRef(ref)); });
      if (key == kAttachments)
        walk_.List(value,
                   [&](std::size_t, json::value& pair) { attachments.push_back(ReadPair(pair)); });
    });
    Field const& word = x[kKind];
    auto const kind = std::find_if(std::begin(f::kAnnotationKinds), std::end(f::kAnnotationKinds),
                                   [&](auto const& k) { return k.first == word.text; });
    if (kind == std::end(f::kAnnotationKinds))
      throw ReadProblem{word.at, walk_.Where("kind"),
                        "unknown annotation kind " + QuoteInput(word.text)};
    std::size_t first = kNone;  // the key of another kind that comes first in the text
    for (std::size_t key = 0; key < s.count; ++key)
      if (x[key].given && s.keys[key].onlyFor && !(s.keys[key].onlyFor & Of(kind->second)) &&
          (first == kNone || x[key].keyAt < x[first].keyAt))
        first = key;
    if (first != kNone) walk_.Fail(x[first].keyAt, "unknown key " + QuoteInput(s.keys[first].name));
    if (kind->second == Kind::CenterLine) {
      auto line = out_.model.AddCenterLine();
      Register(x[kId], Kind::CenterLine, line.get());
      Link<qmk::Object>(x[kObject], s.keys[kObject], [line = line.get()](auto* object) {
        line->AddObject(SmartPtr<qmk::Object>(object));
      });
      if (pending) line->SetMainPendingObject(pending);
    } else if (kind->second == Kind::Callout) {
      auto callout = out_.model.AddCallout("", {}, "");
      Register(x[kId], Kind::Callout, callout.get());
      callout->SetShortObjectDescription(std::string(x.Text(kShortDescription)));
      callout->SetObjectText(std::string(x.Text(kObjectText)));
      callout->m_calloutKind = x.Int(kCalloutKind);
      callout->SetType(x.Int(kType));
      callout->SetMarkdown(x.Flag(kMarkdown));
      callout->SetTag(std::string(x.Text(kTag)));
      for (auto& [first, second] : attachments)
        callout->m_attachments.emplace_back(
            new qmannotations::AttachmentRecord(std::move(first), std::move(second)));
      if (x[kMembers].given) callout->SetGroup(true);
      for (std::size_t i = 0; i < members.size(); ++i) {
        callout->m_groupMembers.emplace_back();
        Link<qmannotations::Callout>(
            members[i], s.keys[kMembers],
            [callout = callout.get(), i](auto* member) { callout->m_groupMembers[i] = member; },
            &i);
      }
      callout->SetDefinition(definition);
    } else {
      std::string_view const cls = x.Text(kClass);
      using qmannotations::ConstStrings;
      du::Symbol const symbol = cls == ConstStrings::qmCenterLine.str() ? ConstStrings::qmCenterLine
                                : cls == ConstStrings::qmCalloutLabel.str()
                                    ? ConstStrings::qmCalloutLabel
                                    : du::Symbol(std::string(cls));
      Register(x[kId], Kind::Annotation, Keep(new qmk::Annotation(symbol)).get());
    }
  }

  SmartPtr<qmk::SelectionItemRepresentation> ReadPending(json::value& v) {
    constexpr auto& s = f::kPending;
    constexpr std::size_t kType = s["type"];
    std::vector<std::pair<std::string, std::string>> fields;
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& value) {
      Fields const given = walk_.Read(value, f::kPendingFields, Ignore);
      for (std::size_t key = 0; key < f::kPendingFields.count; ++key)
        if (given[key].given)
          fields.emplace_back(f::kPendingFields.keys[key].name, given.Text(key));
    });
    SmartPtr<qmk::SelectionItemRepresentation> pending(
        new qmk::SelectionItemRepresentation(TypeSymbol(x.Text(kType))));
    for (auto& [field, text] : fields) pending->SetField(field, text);
    return pending;
  }

  std::pair<std::string, std::string> ReadPair(json::value& v) {
    std::size_t const at = walk_.Offset(v);
    std::string ids[2];
    std::size_t count = 0;
    walk_.List(v, [&](std::size_t i, json::value& text) {
      if (i < 2) ids[i] = std::string(walk_.String(text));
      count = i + 1;
    });
    if (count != 2) walk_.Fail(at, "expected a pair [first, second]");
    return {std::move(ids[0]), std::move(ids[1])};
  }

  void ReadDefinition(json::value& v, qmannotations::TAnnotation& definition) {
    qmannotations::LabelContentList content;
    Fields const x = walk_.Read(v, f::kDefinition, [&](std::size_t, json::value& parts) {
      walk_.List(parts, [&](std::size_t, json::value& part) {
        constexpr auto& s = f::kPart;
        constexpr std::size_t kGroup = s["group"], kProperty = s["property"], kKind = s["kind"],
                              kRelation = s["relation"], kText = s["text"];
        Fields const p = walk_.Read(part, s, Ignore);
        content.push_back(hostmodel::Part(
            std::string(p.Text(kGroup)), std::string(p.Text(kProperty)), std::string(p.Text(kKind)),
            std::string(p.Text(kRelation)), std::string(p.Text(kText))));
      });
    });
    constexpr std::size_t kMarkdown = f::kDefinition["markdown"];
    definition.SetMarkdown(x.Flag(kMarkdown));
    definition.SetContent(std::move(content));
  }

  void ReadItem(json::value& v) {
    constexpr auto& s = f::kItem;
    constexpr std::size_t kType = s["type"], kObject = s["object"], kAnnotation = s["annotation"],
                          kId = s["id"];
    Fields const x = walk_.Read(v, s, Ignore);
    std::string_view const type = x.Text(kType);
    Field const &object = x[kObject], &annotation = x[kAnnotation];
    if (type != "Instance" && type != "Assembly" && object.given)
      walk_.Fail(object.at, "only Instance and Assembly items have an object", "object");
    if (type != "Annotation" && annotation.given)
      walk_.Fail(annotation.at, "only Annotation items have an annotation", "annotation");
    Register(x[kId], Kind::Item, nullptr);
    // Made now when everything it names has been read, else once the whole file has.
    for (std::size_t key = 0; key < s.count; ++key) {
      if (s.keys[key].type == Type::Reference && !x[key].null && !ids_.count(x[key].text)) {
        lateItems_.push_back(LateItem{x, walk_.Where()});
        return;
      }
    }
    MakeItem(x, walk_.Where());
  }

  void MakeItem(Fields const& x, std::string const& where) {
    constexpr auto& s = f::kItem;
    constexpr std::size_t kType = s["type"], kDisplayName = s["display_name"],
                          kObject = s["object"], kParentObject = s["parent_object"],
                          kAnnotation = s["annotation"], kActInstance = s["act_instance"],
                          kGeometry = s["geometry"], kId = s["id"];
    auto const ref = [&](std::size_t key) -> du::RefCounted* {
      if (x[key].null) return nullptr;
      return Resolve(x[key].text, x[key].at, s.keys[key],
                     [&] { return where + "." + std::string(s.keys[key].name); });
    };
    std::string_view const type = x.Text(kType);
    std::string name(x.Text(kDisplayName));
    SmartPtr<qmk::Object> object(static_cast<qmk::Object*>(ref(kObject)));
    SmartPtr<qmk::Object> parent(static_cast<qmk::Object*>(ref(kParentObject)));
    SmartPtr<qmk::Annotation> annotation(static_cast<qmk::Annotation*>(ref(kAnnotation)));
    SmartPtr<qmk::BaseInstance> act(static_cast<qmk::BaseInstance*>(ref(kActInstance)));
    bool const geometry =
        x[kGeometry].null ? type == "Face3D" || type == "ModelAnnotation3D" : x.Flag(kGeometry);
    SmartPtr<qmk::SelectionItem> item;
    if (type == "Instance" || type == "Assembly") {
      item = out_.model.AddObjectItem(TypeSymbol(type), object, name);
    } else if (type == "Annotation") {
      item = out_.model.AddAnnotationItem(annotation, name);
    } else if (geometry) {
      item = out_.model.AddGeometryItem(TypeSymbol(type), parent, name);
    } else {
      item = Keep(new qmk::SelectionItem(TypeSymbol(type)));
      item->SetDisplayName(std::move(name));
    }
    item->SetActInstance(x[kActInstance].given ? act : object.DynamicCast<qmk::BaseInstance>());
    ids_.find(x.Text(kId))->second.object = item.get();
    out_.itemIds.Set(item.get(), x.Text(kId));
  }

  void ReadTimeline(json::value& v) {
    constexpr auto& s = f::kTimeline;
    constexpr std::size_t kSaveSuppressed = s["save_suppressed"],
                          kParentTrackType = s["parent_track_type"];
    std::vector<std::size_t> defaultType;  // tracks that take the timeline's parent track type
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& tracks) {
      out_.tracks.reserve(text_.size() / 256);
      walk_.List(tracks, [&](std::size_t, json::value& track) { ReadTrack(track, defaultType); });
    });
    out_.saveSuppressed = x.Flag(kSaveSuppressed);
    for (std::size_t track : defaultType)
      out_.tracks[track].parentTrackType = x.Int(kParentTrackType);
  }

  void ReadTrack(json::value& v, std::vector<std::size_t>& defaultType) {
    constexpr auto& s = f::kTrack;
    constexpr std::size_t kTarget = s["target"], kStored = s["stored"], kRename = s["rename"],
                          kId = s["id"], kLocked = s["locked"], kRefresh = s["refresh"],
                          kParentTrackType = s["parent_track_type"],
                          kSelectionItem = s["selection_item"];
    std::size_t const at = walk_.Offset(v), n = out_.tracks.size();
    out_.tracks.emplace_back();
    std::size_t targetItem = kNone;  // in pending_
    Fields const x = walk_.Read(v, s, [&](std::size_t key, json::value& value) {
      if (key == kTarget) targetItem = ReadTarget(value, n);
      if (key == kStored) ReadStored(value, out_.tracks[n]);
      if (key == kRename) ReadRename(value, out_.tracks[n]);
    });
    TrackSpec& track = out_.tracks[n];
    track.id = std::string(x.Text(kId));
    Register(x[kId], Kind::Track, nullptr);
    track.locked = x.Flag(kLocked);
    track.refresh = x.Flag(kRefresh);
    track.parentTrackType = x.Int(kParentTrackType);
    if (x[kParentTrackType].null) defaultType.push_back(n);
    // The parser stands on the ',' or ']' after the object; the object ends at its '}'.
    track.textBegin = at;
    char const* next = nullptr;
    track.textEnd = doc_.current_location().get(next)
                        ? text_.size()
                        : static_cast<std::size_t>(next - text_.data());
    while (track.textEnd > at && text_[track.textEnd - 1] != '}') --track.textEnd;
    // The selection item is the one named, else the target's.
    auto const take = [this, n](qmk::SelectionItem* item) { out_.tracks[n].selectionItem = item; };
    if (x[kSelectionItem].given) {
      Link<qmk::SelectionItem>(x[kSelectionItem], s.keys[kSelectionItem], take);
    } else if (track.target) {
      track.selectionItem = track.target->m_selectionItem;
      if (targetItem != kNone) {
        Pending also = pending_[targetItem];
        also.take = [take](du::RefCounted* item) { take(static_cast<qmk::SelectionItem*>(item)); };
        pending_.push_back(std::move(also));
      }
    }
  }

  std::size_t ReadTarget(json::value& v, std::size_t n) {
    constexpr auto& s = f::kTarget;
    constexpr std::size_t kKind = s["kind"], kDisplayName = s["display_name"], kScene = s["scene"],
                          kItem = s["item"];
    Fields const x = walk_.Read(v, s, Ignore);
    auto target = Keep(new animation::Target);
    target->m_kind = x.Int(kKind);
    if (x[kDisplayName].given) target->m_displayName = std::string(x.Text(kDisplayName));
    out_.tracks[n].target = target;
    Link<qmk::Scene>(x[kScene], s.keys[kScene],
                     [target = target.get()](qmk::Scene* scene) { target->m_scene = scene; });
    return Link<qmk::SelectionItem>(
        x[kItem], s.keys[kItem],
        [target = target.get()](qmk::SelectionItem* item) { target->m_selectionItem = item; });
  }

  void ReadStored(json::value& v, TrackSpec& track) {
    auto stored = std::make_unique<TrackSpec::Stored>();
    Fields const x = walk_.Read(v, f::kStored, [&](std::size_t, json::value& properties) {
      walk_.Map(properties, [&](std::string_view name, json::value& number) {
        stored->properties.emplace_back(du::Symbol(std::string(name)), walk_.Integer(number));
      });
    });
    constexpr std::size_t kName = f::kStored["name"];
    stored->name = std::string(x.Text(kName));
    track.stored = std::move(stored);
  }

  void ReadRename(json::value& v, TrackSpec& track) {
    constexpr auto& s = f::kRename;
    constexpr std::size_t kName = s["name"], kByUser = s["by_user"];
    Fields const x = walk_.Read(v, s, Ignore);
    track.rename = std::make_unique<TrackSpec::Rename>(
        TrackSpec::Rename{std::string(x.Text(kName)), x.Flag(kByUser)});
  }

  void ResolvePending() {
    // Objects first, then the selection items made of them, then what names the items.
    for (bool items : {false, true}) {
      if (items)
        for (LateItem const& item : lateItems_) MakeItem(item.fields, item.where);
      for (Pending const& p : pending_)
        if (((p.key->names & Of(Kind::Item)) != 0) == items)
          p.take(Resolve(p.id, p.at, *p.key, [&] { return p.where; }));
    }
  }

  Illustration& out_;
  std::string_view text_;
  json::document& doc_;
  JsonWalk walk_;
  boost::unordered_flat_map<std::string_view, Named> ids_;
  std::vector<Pending> pending_;
  std::vector<LateItem> lateItems_;
};

// The first fault of the JSON itself, found by nlohmann-json's SAX parser with a handler that
// keeps the path; `read` follows the parser through the text to place a nesting too deep.
class SyntaxCheck {
 public:
  using number_integer_t = std::int64_t;
  using number_unsigned_t = std::uint64_t;
  using number_float_t = double;
  using string_t = std::string;
  using binary_t = nlohmann::json::binary_t;
  static constexpr std::size_t kMaxNesting = 64;

  SyntaxCheck(std::string_view text, char const* const& read) : text_(text), read_(read) {}

  bool null() { return Value(); }
  bool boolean(bool) { return Value(); }
  bool number_integer(number_integer_t) { return Value(); }
  bool number_unsigned(number_unsigned_t) { return Value(); }
  bool number_float(number_float_t, string_t const&) { return Value(); }
  bool string(string_t&) { return Value(); }
  bool binary(binary_t&) { return Value(); }
  bool start_object(std::size_t) { return Open(true); }
  bool start_array(std::size_t) { return Open(false); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }
  bool key(string_t& key) {
    frames_.back().key = key;
    frames_.back().inValue = true;
    return true;
  }
  bool parse_error(std::size_t position, std::string const& token,
                   nlohmann::detail::exception const& e) {
    std::string what = e.what();
    what.erase(0, what.find("] ") + 2);
    if (what.compare(0, 11, "parse error") == 0) what.erase(0, what.find(": ") + 2);
    if (what.compare(0, 27, "syntax error while parsing ") == 0)
      what.erase(0, what.find(" - ") + 3);
    // What follows "last read" is the input itself, which the message does not repeat.
    std::size_t const read = what.find("; last read: '");
    if (read != std::string::npos) {
      std::size_t const expected = what.find("'; expected ", read);
      what.erase(read, expected == std::string::npos ? std::string::npos : expected + 1 - read);
    }
    // The place is the last byte read, or where a whole string or number token starts.
    if (what.compare(0, 15, "number overflow") == 0) what = "number out of range";
    bool const whole = what.find("unexpected string") == 0 || what.find("unexpected number") == 0 ||
                       what == "number out of range";
    std::size_t const at = std::min(position - (whole ? token.size() : 1), text_.size());
    fault = ReadProblem{at, Path(), what};
    return false;
  }

  std::optional<ReadProblem> fault;

 private:
  struct Frame {
    bool object;
    std::size_t index = 0;
    std::string key;
    bool inValue = false;
  };
  bool Value() {
    if (!frames_.empty()) {
      Frame& frame = frames_.back();
      if (frame.object)
        frame.inValue = false;
      else
        ++frame.index;
    }
    return true;
  }
  bool Open(bool object) {
    if (frames_.size() == kMaxNesting) {
      fault = ReadProblem{static_cast<std::size_t>(read_ - 1 - text_.data()), Path(),
                          "nesting deeper than " + std::to_string(kMaxNesting) + " levels"};
      return false;
    }
    frames_.push_back(Frame{object, 0, {}, false});
    return true;
  }
  bool Close() {
    frames_.pop_back();
    return Value();
  }
  std::string Path() const {
    std::vector<PathStep> steps;
    for (Frame const& frame : frames_) {
      if (!frame.object)
        steps.push_back(PathStep{{}, frame.index});
      else if (frame.inValue)
        steps.push_back(PathStep{frame.key});
    }
    return PathText(steps);
  }

  std::string_view text_;
  char const* const& read_;
  std::vector<Frame> frames_;
};

// An input iterator over the text that tells how far it has been read.
struct CountingIterator {
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = char const*;
  using reference = char const&;
  char const* at;
  char const** read;
  reference operator*() const { return *at; }
  CountingIterator& operator++() {
    *read = ++at;
    return *this;
  }
  bool operator==(CountingIterator const& other) const { return at == other.at; }
  bool operator!=(CountingIterator const& other) const { return at != other.at; }
};

std::optional<ReadProblem> FirstSyntaxFault(std::string_view text) {
  std::size_t const nul = text.find('\0');  // which the parser would take for the end
  std::string_view const before = text.substr(0, nul);
  char const* read = text.data();
  SyntaxCheck check(before, read);
  nlohmann::json::sax_parse(CountingIterator{before.data(), &read},
                            CountingIterator{before.data() + before.size(), &read}, &check);
  if (nul != std::string_view::npos && (!check.fault || check.fault->offset >= nul))
    return ReadProblem{nul, check.fault ? check.fault->path : "$",
                       check.fault ? "NUL byte" : "NUL byte after the document"};
  return check.fault;
}

// "LINE:COLUMN: byte OFFSET": line and column count from 1, the column in characters.
std::string DescribePlace(std::string_view text, std::size_t offset) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    unsigned char const c = static_cast<unsigned char>(text[i]);
    if (c == '\n')
      line++, column = 1;
    else if ((c & 0xC0u) != 0x80u)
      ++column;
  }
  return std::to_string(line) + ":" + std::to_string(column) + ": byte " + std::to_string(offset);
}

}  // namespace

std::unique_ptr<Illustration> ReadIllustration(InputText const& input) {
  std::string_view const text = input.Text();
  auto const fail = [&](ReadProblem const& p) {
    throw ReadError(input.Name() + ":" + DescribePlace(text, p.offset) + ": " + p.path + ": " +
                    p.what);
  };
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    fail(ReadProblem{0, "$", "a UTF-8 byte order mark, which an illustration may not start with"});
  try {
    auto illustration = std::make_unique<Illustration>();
    try {
      json::parser parser;
      json::document doc;
      if (parser.iterate(text.data(), text.size(), text.size() + InputText::kPadding).get(doc))
        throw ReadProblem{0, "$", "not valid JSON"};
      Reader(*illustration, text, doc).Read();
    } catch (ReadProblem const& problem) {
      fail(FirstSyntaxFault(text).value_or(problem));  // the JSON's own fault comes first
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
  } catch (std::bad_alloc const&) {
    throw ReadError(input.Name() + ": out of memory while reading it");
  }
}

std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName) {
  return ReadIllustration(InputText::FromText(text, fileName));
}

}  // namespace illhost
