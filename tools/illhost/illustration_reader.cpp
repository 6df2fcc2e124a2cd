#include "illustration.h"

#include <boost/unordered/unordered_flat_map.hpp>
#include <functional>

#include "host/annotations.h"
#include "host/illustration.h"
#include "json_walk.h"
#include "quoting.h"

namespace illhost {

namespace {

using du::SmartPtr;
namespace f = format;

du::Symbol Symbol(std::string_view text) { return du::Symbol(std::string(text)); }

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
    json::object root;
    if (doc_.get_object().get(root))
      throw ReadProblem{std::min(text_.find_first_not_of(" \t\n\r"), text_.size()), "$",
                        "expected an object"};
    Fields const top = walk_.Read(root, 0, s, [&](std::size_t key, json::value& v) {
      if (key == At<s["timeline"]>) return ReadTimeline(v);
      walk_.List(v, [&](std::size_t, json::value& e) {
        if (key == At<s["instances"]>) ReadInstance(e);
        if (key == At<s["sbom"]>) ReadSbom(e);
        if (key == At<s["objects"]>) ReadObject(e);
        if (key == At<s["scenes"]>) ReadScene(e);
        if (key == At<s["annotations"]>) ReadAnnotation(e);
        if (key == At<s["selection_items"]>) ReadItem(e);
      });
    });
    char const* after = nullptr;  // the parser answers "out of bounds" at the end
    if (!doc_.current_location().get(after))
      throw ReadProblem{static_cast<std::size_t>(after - text_.data()), "$",
                        "text after the end of the document"};
    du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                              top.String(At<s["generic_message"]>));
    qmk::Instance::s_content_symbolPrefix = Symbol(top.Text(At<s["content_symbol_prefix"]>));
    ResolvePending();
  }

 private:
  struct Named {
    du::RefCounted* object;  // null for a track, and for a selection item not made yet
    Kind kind;
    std::uint32_t track;  // a track's place in the tracks
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

  void Register(Field const& id, Kind kind, du::RefCounted* object, std::uint32_t track = 0) {
    if (!ids_.emplace(id.text, Named{object, kind, track}).second)
      throw ReadProblem{id.at, walk_.Where("id"), "duplicate id " + QuoteInput(id.text)};
  }

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

  // Gives take() what `ref` names now when it can, else once everything has been read.
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
    Field ref{walk_.Offset(v), 0, {}, 0, true, walk_.IsNull(v)};
    if (!ref.null) ref.text = walk_.String(v);
    return ref;
  }

  void ReadInstance(json::value& v) {
    constexpr auto& s = f::kInstance;
    Fields const x = walk_.Read(v, s, Ignore);
    auto instance = out_.model.AddInstance(x.String(At<s["id"]>), x.String(At<s["name"]>),
                                           x.String(At<s["display_name"]>));
    Register(x[At<s["id"]>], Kind::Instance, instance.get());
    Link<qmk::illustration::SbomInstance>(
        x[At<s["sbom"]>], s.keys[At<s["sbom"]>],
        [instance = instance.get()](auto* sbom) { instance->SetSbomInstance(sbom); });
  }

  void ReadSbom(json::value& v) {
    constexpr auto& s = f::kSbom;
    auto& properties = sbomProperties_;  // kept from one SBOM instance to the next
    properties.clear();
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& groups) {
      walk_.Map(groups, [&](std::string_view group, json::value& names) {
        walk_.Map(names, [&](std::string_view name, json::value& text) {
          properties.push_back({group, name, walk_.String(text)});
        });
      });
    });
    std::string const id(x.Text(At<s["id"]>));
    auto sbom = out_.model.AddSbom(id, x.String(At<s["symbol"]>), x.String(At<s["name"]>),
                                   x.String(At<s["display_name"]>));
    Register(x[At<s["id"]>], Kind::Sbom, sbom.get());
    out_.sbomIds.Set(sbom.get(), id);
    for (auto const& [group, name, text] : properties)
      sbom->SetProperty(std::string(group), std::string(name), std::string(text));
    Link<qmk::Instance>(x[At<s["ebom"]>], s.keys[At<s["ebom"]>],
                        [sbom = sbom.get()](auto* ebom) { sbom->SetEbomInstance(ebom); });
    Link<qmk::illustration::SbomInstance>(
        x[At<s["parent"]>], s.keys[At<s["parent"]>],
        [sbom = sbom.get()](auto* parent) { sbom->SetParent(parent); });
  }

  void ReadObject(json::value& v) {
    Fields const x = walk_.Read(v, f::kObject, Ignore);
    Register(x[0], Kind::Object, Keep(new qmk::Object).get());
  }

  void ReadScene(json::value& v) {
    constexpr auto& s = f::kScene;
    Fields const x = walk_.Read(v, s, Ignore);
    SmartPtr<qmk::Scene> scene =
        x.Flag(At<s["shape"]>)
            ? SmartPtr<qmk::Scene>(out_.model.AddShapeScene(x.Flag(At<s["callouts_engine"]>)))
            : out_.model.AddPlainScene();
    Register(x[At<s["id"]>], Kind::Scene, scene.get());
  }

  Kind AnnotationKind(Fields const& x) const {
    constexpr auto& s = f::kAnnotation;
    Field const& word = x[At<s["kind"]>];
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
    return kind->second;
  }

  void ReadAnnotation(json::value& v) {
    constexpr auto& s = f::kAnnotation;
    std::vector<Field> members;
    std::vector<std::pair<std::string, std::string>> attachments;
    SmartPtr<qmk::SelectionItemRepresentation> pending;
    SmartPtr<qmannotations::TAnnotation> definition(new qmannotations::TAnnotation);
    Fields const x = walk_.Read(v, s, [&](std::size_t key, json::value& value) {
      if (key == At<s["pending"]>) pending = ReadPending(value);
      if (key == At<s["definition"]>) ReadDefinition(value, *definition);
      if (key == At<s["members"]>)
        walk_.List(value, [&](std::size_t, json::value& ref) { members.push_back(ReadRef(ref)); });
      if (key == At<s["attachments"]>)
        walk_.List(value,
                   [&](std::size_t, json::value& pair) { attachments.push_back(ReadPair(pair)); });
    });
    Kind const kind = AnnotationKind(x);
    if (kind == Kind::CenterLine) {
      auto line = out_.model.AddCenterLine();
      Register(x[At<s["id"]>], Kind::CenterLine, line.get());
      Link<qmk::Object>(
          x[At<s["object"]>], s.keys[At<s["object"]>],
          [line = line.get()](auto* object) { line->AddObject(SmartPtr<qmk::Object>(object)); });
      if (pending) line->SetMainPendingObject(pending);
    } else if (kind == Kind::Callout) {
      auto callout = out_.model.AddCallout("", {}, "");
      Register(x[At<s["id"]>], Kind::Callout, callout.get());
      callout->SetShortObjectDescription(x.String(At<s["short_description"]>));
      callout->SetObjectText(x.String(At<s["object_text"]>));
      callout->m_calloutKind = x.Int(At<s["callout_kind"]>);
      callout->SetType(x.Int(At<s["type"]>));
      callout->SetMarkdown(x.Flag(At<s["markdown"]>));
      callout->SetTag(x.String(At<s["tag"]>));
      for (auto& [first, second] : attachments)
        callout->m_attachments.emplace_back(
            new qmannotations::AttachmentRecord(std::move(first), std::move(second)));
      if (x[At<s["members"]>].given) callout->SetGroup(true);
      for (std::size_t i = 0; i < members.size(); ++i) {
        callout->m_groupMembers.emplace_back();
        Link<qmannotations::Callout>(
            members[i], s.keys[At<s["members"]>],
            [callout = callout.get(), i](auto* member) { callout->m_groupMembers[i] = member; },
            &i);
      }
      callout->SetDefinition(definition);
    } else {
      Register(x[At<s["id"]>], Kind::Annotation,
               Keep(new qmk::Annotation(Symbol(x.Text(At<s["class"]>)))).get());
    }
  }

  SmartPtr<qmk::SelectionItemRepresentation> ReadPending(json::value& v) {
    constexpr auto& s = f::kPending;
    std::vector<std::pair<std::string, std::string>> fields;
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& value) {
      Fields const given = walk_.Read(value, f::kPendingFields, Ignore);
      for (std::size_t key = 0; key < f::kPendingFields.count; ++key)
        if (given[key].given)
          fields.emplace_back(f::kPendingFields.keys[key].name, given.Text(key));
    });
    SmartPtr<qmk::SelectionItemRepresentation> pending(
        new qmk::SelectionItemRepresentation(Symbol(x.Text(At<s["type"]>))));
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
        Fields const p = walk_.Read(part, s, Ignore);
        content.push_back(hostmodel::Part(p.String(At<s["group"]>), p.String(At<s["property"]>),
                                          p.String(At<s["kind"]>), p.String(At<s["relation"]>),
                                          p.String(At<s["text"]>)));
      });
    });
    definition.SetMarkdown(x.Flag(At<f::kDefinition["markdown"]>));
    definition.SetContent(std::move(content));
  }

  void ReadItem(json::value& v) {
    constexpr auto& s = f::kItem;
    Fields const x = walk_.Read(v, s, Ignore);
    f::ItemOf const of = f::ItemOfType(x.Text(At<s["type"]>));
    Field const &object = x[At<s["object"]>], &annotation = x[At<s["annotation"]>];
    if (of != f::ItemOf::Object && object.given)
      walk_.Fail(object.at, "only Instance and Assembly items have an object", "object");
    if (of != f::ItemOf::Annotation && annotation.given)
      walk_.Fail(annotation.at, "only Annotation items have an annotation", "annotation");
    // The table and JSON show "-" for no item, "?" for one the file does not name and "sbom:ID"
    // for the one made for an SBOM instance: no item's id may read as one of these.
    Field const& id = x[At<s["id"]>];
    if (id.text == "-" || id.text == "?" || id.text.rfind("sbom:", 0) == 0)
      walk_.Fail(id.at, "an item's id may not be \"-\" or \"?\" or begin with \"sbom:\"", "id");
    Register(id, Kind::Item, nullptr);
    // Made now when everything it names has been read, else once the whole file has.
    for (std::size_t key = 0; key < s.count; ++key) {
      if (s.keys[key].type == Type::Reference && !x[key].null && !ids_.count(x[key].text)) {
        lateItems_.push_back(LateItem{x, walk_.Where()});
        return;
      }
    }
    MakeItem(x, [&] { return walk_.Where(); });
  }

  template <typename Where>
  void MakeItem(Fields const& x, Where const& where) {
    constexpr auto& s = f::kItem;
    auto const ref = [&](std::size_t key) -> du::RefCounted* {
      if (x[key].null) return nullptr;
      return Resolve(x[key].text, x[key].at, s.keys[key],
                     [&] { return where() + "." + std::string(s.keys[key].name); });
    };
    std::string_view const type = x.Text(At<s["type"]>);
    std::string name(x.Text(At<s["display_name"]>));
    SmartPtr<qmk::Object> object(static_cast<qmk::Object*>(ref(At<s["object"]>)));
    SmartPtr<qmk::Object> parent(static_cast<qmk::Object*>(ref(At<s["parent_object"]>)));
    SmartPtr<qmk::Annotation> annotation(static_cast<qmk::Annotation*>(ref(At<s["annotation"]>)));
    SmartPtr<qmk::BaseInstance> act(static_cast<qmk::BaseInstance*>(ref(At<s["act_instance"]>)));
    f::ItemOf const of = f::ItemOfType(type);
    bool const geometry =
        x[At<s["geometry"]>].null ? of == f::ItemOf::Geometry : x.Flag(At<s["geometry"]>);
    SmartPtr<qmk::SelectionItem> item;
    if (of == f::ItemOf::Object) {
      item = out_.model.AddObjectItem(Symbol(type), object, name);
    } else if (of == f::ItemOf::Annotation) {
      item = out_.model.AddAnnotationItem(annotation, name);
    } else if (geometry) {
      item = out_.model.AddGeometryItem(Symbol(type), parent, name);
    } else {
      item = Keep(new qmk::SelectionItem(Symbol(type)));
      item->SetDisplayName(std::move(name));
    }
    item->SetActInstance(x[At<s["act_instance"]>].given ? act
                                                        : object.DynamicCast<qmk::BaseInstance>());
    ids_.find(x.Text(At<s["id"]>))->second.object = item.get();
    out_.itemIds.Set(item.get(), x.Text(At<s["id"]>));
  }

  void ReadTimeline(json::value& v) {
    constexpr auto& s = f::kTimeline;
    std::vector<std::size_t> defaultType;  // tracks that take the timeline's parent track type
    Fields const x = walk_.Read(v, s, [&](std::size_t, json::value& tracks) {
      out_.tracks.reserve(text_.size() / 256);
      walk_.List(tracks, [&](std::size_t, json::value& track) { ReadTrack(track, defaultType); });
    });
    out_.saveSuppressed = x.Flag(At<s["save_suppressed"]>);
    for (std::size_t track : defaultType)
      out_.tracks[track].parentTrackType = x.Int(At<s["parent_track_type"]>);
  }

  void ReadTrack(json::value& v, std::vector<std::size_t>& defaultType) {
    constexpr auto& s = f::kTrack;
    std::size_t const at = walk_.Offset(v), n = out_.tracks.size();
    out_.tracks.emplace_back();
    std::size_t targetItem = kNone;  // in pending_
    Field cutTrack;
    Fields const x = walk_.Read(v, s, [&](std::size_t key, json::value& value) {
      if (key == At<s["target"]>) targetItem = ReadTarget(value, n);
      if (key == At<s["stored"]>) ReadStored(value, out_.tracks[n]);
      if (key == At<s["rename"]>) ReadRename(value, out_.tracks[n]);
      if (key == At<s["cut_from"]>) cutTrack = ReadCut(value, out_.tracks[n]);
    });
    TrackSpec& track = out_.tracks[n];
    track.id = x.String(At<s["id"]>);
    track.locked = x.Flag(At<s["locked"]>);
    track.refresh = x.Flag(At<s["refresh"]>);
    track.parentTrackType = x.Int(At<s["parent_track_type"]>);
    if (x[At<s["parent_track_type"]>].null) defaultType.push_back(n);
    ReadMaking(x, cutTrack, track);
    Register(x[At<s["id"]>], Kind::Track, nullptr, static_cast<std::uint32_t>(n));
    KeepMembers(x, at, track);
    if (track.source != kNoTrack) return;
    // The selection item is the one named, else the target's.
    auto const take = [this, n](qmk::SelectionItem* item) { out_.tracks[n].selectionItem = item; };
    if (x[At<s["selection_item"]>].given) {
      Link<qmk::SelectionItem>(x[At<s["selection_item"]>], s.keys[At<s["selection_item"]>], take);
    } else if (track.target) {
      track.selectionItem = track.target->m_selectionItem;
      if (targetItem != kNone) {
        Pending also = pending_[targetItem];
        also.take = [take](du::RefCounted* item) { take(static_cast<qmk::SelectionItem*>(item)); };
        pending_.push_back(std::move(also));
      }
    }
  }

  // How the track is made, and from which earlier tracks. A copy or piece has what its source
  // hands on; its target too unless it names its own.
  void ReadMaking(Fields const& x, Field const& cutTrack, TrackSpec& track) {
    constexpr auto& s = f::kTrack;
    if (track.stored) track.made = Made::Stored;
    if (!x[At<s["copy_of"]>].null) {
      track.made = Made::Copy;
      track.source = Earlier(x, x[At<s["copy_of"]>], [&] { return walk_.Where("copy_of"); });
    }
    if (track.cut) {
      if (track.made == Made::Copy)
        walk_.Fail(x[At<s["cut_from"]>].keyAt, "\"cut_from\" cannot go with \"copy_of\"",
                   "cut_from");
      track.made = Made::Cut;
      track.source = Earlier(x, cutTrack, [&] { return walk_.Where("cut_from") + ".track"; });
    }
    if (!x[At<s["copy_from"]>].null)
      track.copyFrom = Earlier(x, x[At<s["copy_from"]>], [&] { return walk_.Where("copy_from"); });
    if (track.source == kNoTrack) return;
    for (std::size_t key : {At<s["stored"]>, At<s["selection_item"]>, At<s["locked"]>})
      if (!x[key].null)
        walk_.Fail(x[key].keyAt,
                   QuoteInput(s.keys[key].name) + " cannot go with " +
                       (track.cut ? "\"cut_from\"" : "\"copy_of\""),
                   s.keys[key].name);
    if (!track.target) track.target = out_.tracks[track.source].target;
  }

  void KeepMembers(Fields const& x, std::size_t at, TrackSpec& track) {
    // The parser stands on the ',' or ']' after the object; the object ends at its '}'.
    track.textBegin = at;
    char const* next = nullptr;
    track.textEnd = doc_.current_location().get(next)
                        ? text_.size()
                        : static_cast<std::size_t>(next - text_.data());
    while (track.textEnd > at && text_[track.textEnd - 1] != '}') --track.textEnd;
    track.firstMember = static_cast<std::uint32_t>(out_.members.size());
    for (std::size_t key = 0; key < f::kTrack.count; ++key) {
      bool const inherited =
          key == At<f::kTrack["target"]> && x[key].null && track.source != kNoTrack;
      if (x[key].given)
        out_.members.push_back(
            {static_cast<std::uint32_t>(x[key].keyAt),
             static_cast<std::uint8_t>(key | (inherited ? TrackMember::kDropped : 0))});
    }
    auto const first = out_.members.begin() + track.firstMember;
    std::sort(first, out_.members.end(),
              [](TrackMember a, TrackMember b) { return a.keyAt < b.keyAt; });
    track.memberCount = static_cast<std::uint8_t>(out_.members.end() - first);
  }

  template <class Where>
  std::uint32_t Earlier(Fields const& track, Field const& ref, Where const& where) {
    auto const found = ids_.find(ref.text);
    if (ref.text == track.Text(At<f::kTrack["id"]>))
      throw ReadProblem{ref.at, where(), "names the track itself, not an earlier track"};
    if (found == ids_.end() || found->second.kind != Kind::Track)
      throw ReadProblem{ref.at, where(), "no earlier track has the id " + QuoteInput(ref.text)};
    ++out_.tracks[found->second.track].takers;
    return found->second.track;
  }

  Field ReadCut(json::value& v, TrackSpec& track) {
    constexpr auto& s = f::kCut;
    Fields const x = walk_.Read(v, s, Ignore);
    track.cut = std::make_unique<TrackSpec::Cut>(
        TrackSpec::Cut{x.Number(At<s["start"]>), x.Number(At<s["end"]>)});
    return x[At<s["track"]>];
  }

  std::size_t ReadTarget(json::value& v, std::size_t n) {
    constexpr auto& s = f::kTarget;
    Fields const x = walk_.Read(v, s, Ignore);
    auto target = Keep(new animation::Target);
    target->m_kind = x.Int(At<s["kind"]>);
    if (x[At<s["display_name"]>].given) target->m_displayName = x.String(At<s["display_name"]>);
    out_.tracks[n].target = target;
    Link<qmk::Scene>(x[At<s["scene"]>], s.keys[At<s["scene"]>],
                     [target = target.get()](qmk::Scene* scene) { target->m_scene = scene; });
    return Link<qmk::SelectionItem>(
        x[At<s["item"]>], s.keys[At<s["item"]>],
        [target = target.get()](qmk::SelectionItem* item) { target->m_selectionItem = item; });
  }

  void ReadStored(json::value& v, TrackSpec& track) {
    auto stored = std::make_unique<TrackSpec::Stored>();
    Fields const x = walk_.Read(v, f::kStored, [&](std::size_t, json::value& properties) {
      walk_.Map(properties, [&](std::string_view name, json::value& number) {
        stored->properties.emplace_back(Symbol(name), walk_.Integer(number));
      });
    });
    stored->name = x.String(At<f::kStored["name"]>);
    track.stored = std::move(stored);
  }

  void ReadRename(json::value& v, TrackSpec& track) {
    constexpr auto& s = f::kRename;
    Fields const x = walk_.Read(v, s, Ignore);
    track.rename = std::make_unique<TrackSpec::Rename>(
        TrackSpec::Rename{x.String(At<s["name"]>), x.Flag(At<s["by_user"]>)});
  }

  void ResolvePending() {
    // Objects first, then the selection items made of them, then what names the items.
    for (bool items : {false, true}) {
      if (items)
        for (LateItem const& item : lateItems_) MakeItem(item.fields, [&] { return item.where; });
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
  std::vector<std::array<std::string_view, 3>> sbomProperties_;
};

// "LINE:COLUMN: byte OFFSET", the column in characters.
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
      auto const error =
          parser.iterate(text.data(), text.size(), text.size() + InputText::kPadding).get(doc);
      if (error == simdjson::MEMALLOC) OutOfMemory();
      if (error) throw ReadProblem{0, "$", "not valid JSON"};
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
    throw ReadError(input.Name() + ": cannot be read: out of memory");
  }
}

std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName) {
  return ReadIllustration(InputText::FromText(text, fileName));
}

}  // namespace illhost
