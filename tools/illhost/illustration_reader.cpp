#include "illustration_reader.h"

#include <unordered_map>

#include "host/annotations.h"
#include "host/illustration.h"
#include "json_node.h"
#include "quoting.h"
#include "standin_texts.h"

namespace illhost {

namespace {

using du::SmartPtr;
using Json = nlohmann::json;

enum class Kind { Instance, Sbom, Object, Scene, CenterLine, Callout, Annotation, Item, Track };

struct Entry {
  Kind kind;
  SmartPtr<du::RefCounted> object;
};

du::Symbol TypeSymbol(std::string const& text) {
  using namespace qmk::mcad_selection;
  for (du::Symbol const* s :
       {&Instance, &Assembly, &Collection, &Annotation, &Face3D, &ModelAnnotation3D})
    if (s->str() == text) return *s;
  return du::Symbol(text);
}

class Reader {
 public:
  explicit Reader(Illustration& out) : out_(out) {}

  void Read(Node const& root) {
    root.Object({"generic_message", "content_symbol_prefix", "instances", "sbom", "objects",
                 "scenes", "annotations", "selection_items", "timeline"});
    du::Localizer::SetMessage(standin::kGenericMessageCatalogue, standin::kGenericMessageId,
                              root.Text("generic_message", standin::kDefaultGenericText));
    qmk::Instance::s_content_symbolPrefix =
        root.Text("content_symbol_prefix", standin::kDefaultContentPrefix);
    entries_.reserve(root["instances"].ListSize() + root["sbom"].ListSize() +
                     root["objects"].ListSize() + root["scenes"].ListSize() +
                     root["annotations"].ListSize() + root["selection_items"].ListSize() +
                     root["timeline"]["tracks"].ListSize());
    Each(root["instances"], [&](Node const& n, std::string const& id) {
      Register(n, id, Kind::Instance, out_.model.AddInstance(id, "", ""));
    });
    Each(root["sbom"], [&](Node const& n, std::string const& id) {
      auto sbom = out_.model.AddSbom(id, "", "", "");
      out_.sbomIds[sbom.get()] = id;
      Register(n, id, Kind::Sbom, sbom);
    });
    Each(root["objects"], [&](Node const& n, std::string const& id) {
      Register(n, id, Kind::Object, Keep(new qmk::Object));
    });
    Each(root["scenes"], [&](Node const& n, std::string const& id) {
      n.Object({"id", "shape", "callouts_engine"});
      SmartPtr<qmk::Scene> scene;
      if (n.Flag("shape", true))
        scene = out_.model.AddShapeScene(n.Flag("callouts_engine", true));
      else
        scene = out_.model.AddPlainScene();
      Register(n, id, Kind::Scene, scene);
    });
    Each(root["annotations"],
         [&](Node const& n, std::string const& id) { CreateAnnotation(n, id); });
    Each(root["selection_items"],
         [&](Node const& n, std::string const& id) { Register(n, id, Kind::Item, {}); });
    Node const timeline = root["timeline"];
    if (!timeline.IsNull()) timeline.Object({"save_suppressed", "parent_track_type", "tracks"});
    Each(timeline["tracks"],
         [&](Node const& n, std::string const& id) { Register(n, id, Kind::Track, {}); });

    Each(root["instances"], [&](Node const& n, std::string const& id) { FillInstance(n, id); });
    Each(root["sbom"], [&](Node const& n, std::string const& id) { FillSbom(n, id); });
    Each(root["objects"], [&](Node const& n, std::string const&) { n.Object({"id"}); });
    Each(root["annotations"], [&](Node const& n, std::string const& id) { FillAnnotation(n, id); });
    Each(root["selection_items"], [&](Node const& n, std::string const& id) { MakeItem(n, id); });
    out_.saveSuppressed = timeline.IsNull() ? false : timeline.Flag("save_suppressed");
    int const parentType = timeline.IsNull() ? 1 : timeline.Integer("parent_track_type", 1);
    Each(timeline["tracks"],
         [&](Node const& n, std::string const& id) { ReadTrack(n, id, parentType); });
  }

 private:
  template <class T>
  SmartPtr<T> Keep(T* object) {
    SmartPtr<T> held(object);
    out_.kept.emplace_back(held);
    return held;
  }

  template <class F>
  void Each(Node const& list, F f) {
    for (std::size_t i = 0, n = list.ListSize(); i < n; ++i) {
      Node const item = list[i];
      if (!item.value().is_object()) item.Fail("expected an object");
      f(item, item.RequiredText("id"));
    }
  }

  void Register(Node const& n, std::string const& id, Kind kind, SmartPtr<du::RefCounted> object) {
    if (!entries_.emplace(id, Entry{kind, std::move(object)}).second)
      n["id"].Fail("duplicate id " + QuoteInput(id));
  }

  // What a reference names, when it names one of `kinds`; null stays null.
  SmartPtr<du::RefCounted> Ref(Node const& n, std::initializer_list<Kind> kinds, char const* what) {
    if (n.IsNull()) return {};
    std::string const id = n.AsText();
    auto const found = entries_.find(id);
    if (found == entries_.end()) n.Fail("no object has the id " + QuoteInput(id));
    for (Kind k : kinds)
      if (found->second.kind == k) return found->second.object;
    n.Fail(QuoteInput(id) + " is not " + what);
  }
  SmartPtr<qmk::Object> AnyObject(Node const& n) {
    return Ref(n,
               {Kind::Instance, Kind::Sbom, Kind::Object, Kind::CenterLine, Kind::Callout,
                Kind::Annotation},
               "a kernel object")
        .DynamicCast<qmk::Object>();
  }
  SmartPtr<du::RefCounted> Found(std::string const& id) { return entries_.at(id).object; }

  void FillInstance(Node const& n, std::string const& id) {
    n.Object({"id", "name", "display_name", "sbom"});
    auto instance = Found(id).DynamicCast<qmk::Instance>();
    instance->SetNames(n.Text("name"), n.Text("display_name"));
    auto sbom = Ref(n["sbom"], {Kind::Sbom}, "an SBOM instance")
                    .DynamicCast<qmk::illustration::SbomInstance>();
    instance->SetSbomInstance(sbom.get());
  }

  void FillSbom(Node const& n, std::string const& id) {
    n.Object({"id", "symbol", "name", "display_name", "ebom", "parent", "properties"});
    auto sbom = Found(id).DynamicCast<qmk::illustration::SbomInstance>();
    sbom->m_name = n.Text("symbol");
    sbom->SetNames(n.Text("name"), n.Text("display_name"));
    sbom->SetEbomInstance(
        Ref(n["ebom"], {Kind::Instance}, "an instance").DynamicCast<qmk::Instance>().get());
    sbom->SetParent(Ref(n["parent"], {Kind::Sbom}, "an SBOM instance")
                        .DynamicCast<qmk::illustration::SbomInstance>()
                        .get());
    Node const groups = n["properties"];
    if (groups.IsNull()) return;
    if (!groups.value().is_object()) groups.Fail("expected an object");
    for (auto const& group : groups.value().items()) {
      Node const g = groups[group.key().c_str()];
      if (!g.value().is_object()) g.Fail("expected an object");
      for (auto const& property : g.value().items())
        sbom->SetProperty(group.key(), property.key(), g[property.key().c_str()].AsText());
    }
  }

  void CreateAnnotation(Node const& n, std::string const& id) {
    std::string const kind = n.RequiredText("kind");
    if (kind == "center_line") {
      Register(n, id, Kind::CenterLine, out_.model.AddCenterLine());
    } else if (kind == "callout") {
      Register(n, id, Kind::Callout, out_.model.AddCallout("", {}, ""));
    } else if (kind == "annotation") {
      n.Object({"id", "kind", "class"});
      std::string const cls = n.Text("class");
      du::Symbol const symbol = cls == qmannotations::ConstStrings::qmCenterLine.str()
                                    ? qmannotations::ConstStrings::qmCenterLine
                                : cls == qmannotations::ConstStrings::qmCalloutLabel.str()
                                    ? qmannotations::ConstStrings::qmCalloutLabel
                                    : du::Symbol(cls);
      Register(n, id, Kind::Annotation, Keep(new qmk::Annotation(symbol)));
    } else {
      n["kind"].Fail("unknown annotation kind " + QuoteInput(kind));
    }
  }

  void FillAnnotation(Node const& n, std::string const& id) {
    auto const& entry = entries_.at(id);
    if (entry.kind == Kind::CenterLine) {
      n.Object({"id", "kind", "object", "pending"});
      auto line = entry.object.DynamicCast<qmannotations::CenterLinesAnnotation>();
      if (auto object = AnyObject(n["object"])) line->AddObject(object);
      Node const pending = n["pending"];
      if (pending.IsNull()) return;
      pending.Object({"type", "fields"});
      SmartPtr<qmk::SelectionItemRepresentation> rep(
          new qmk::SelectionItemRepresentation(TypeSymbol(pending.Text("type"))));
      Node const fields = pending["fields"];
      if (!fields.IsNull()) {
        fields.Object({"instance", "parent_instance", "sbomInstanceId"});
        for (char const* key : {"instance", "parent_instance", "sbomInstanceId"})
          if (fields.Has(key)) rep->SetField(key, fields.Text(key));
      }
      line->SetMainPendingObject(rep);
    } else if (entry.kind == Kind::Callout) {
      FillCallout(n, entry.object.DynamicCast<qmannotations::Callout>());
    }
  }

  void FillCallout(Node const& n, SmartPtr<qmannotations::Callout> const& callout) {
    n.Object({"id", "kind", "short_description", "object_text", "callout_kind", "type", "markdown",
              "attachments", "members", "tag", "definition"});
    callout->SetShortObjectDescription(n.Text("short_description"));
    callout->SetObjectText(n.Text("object_text"));
    callout->m_calloutKind = n.Integer("callout_kind");
    callout->SetType(n.Integer("type"));
    callout->SetMarkdown(n.Flag("markdown"));
    callout->SetTag(n.Text("tag"));
    Node const attachments = n["attachments"];
    for (std::size_t i = 0, size = attachments.ListSize(); i < size; ++i) {
      Node const pair = attachments[i];
      if (pair.ListSize() != 2) pair.Fail("expected a pair [first, second]");
      callout->m_attachments.emplace_back(new qmannotations::AttachmentRecord(
          pair[std::size_t{0}].AsText(), pair[std::size_t{1}].AsText()));
    }
    if (n.Has("members")) {
      callout->SetGroup(true);
      Node const members = n["members"];
      for (std::size_t i = 0, size = members.ListSize(); i < size; ++i)
        callout->m_groupMembers.push_back(
            Ref(members[i], {Kind::Callout}, "a callout").DynamicCast<qmannotations::Callout>());
    }
    SmartPtr<qmannotations::TAnnotation> definition(new qmannotations::TAnnotation);
    Node const def = n["definition"];
    if (!def.IsNull()) {
      def.Object({"markdown", "content"});
      definition->SetMarkdown(def.Flag("markdown"));
      qmannotations::LabelContentList content;
      Node const parts = def["content"];
      for (std::size_t i = 0, size = parts.ListSize(); i < size; ++i) {
        Node const p = parts[i];
        p.Object({"group", "property", "kind", "relation", "text"});
        content.push_back(hostmodel::Part(p.Text("group"), p.Text("property"), p.Text("kind"),
                                          p.Text("relation"), p.Text("text")));
      }
      definition->SetContent(std::move(content));
    }
    callout->SetDefinition(definition);
  }

  void MakeItem(Node const& n, std::string const& id) {
    n.Object({"id", "type", "display_name", "object", "act_instance", "annotation", "geometry",
              "parent_object"});
    std::string const typeText = n.RequiredText("type");
    du::Symbol const type = TypeSymbol(typeText);
    std::string const name = n.Text("display_name");
    bool const objectType = typeText == "Instance" || typeText == "Assembly";
    bool const geometry =
        n.Flag("geometry", typeText == "Face3D" || typeText == "ModelAnnotation3D");
    SmartPtr<qmk::SelectionItem> item;
    SmartPtr<qmk::Object> object;
    if (objectType) {
      object = AnyObject(n["object"]);
      item = out_.model.AddObjectItem(type, object, name);
    } else if (n.Has("object")) {
      n["object"].Fail("only Instance and Assembly items have an object");
    }
    if (!item && typeText == "Annotation") {
      item = out_.model.AddAnnotationItem(
          Ref(n["annotation"], {Kind::CenterLine, Kind::Callout, Kind::Annotation}, "an annotation")
              .DynamicCast<qmk::Annotation>(),
          name);
    } else if (n.Has("annotation")) {
      n["annotation"].Fail("only Annotation items have an annotation");
    }
    if (!item && geometry)
      item = out_.model.AddGeometryItem(type, AnyObject(n["parent_object"]), name);
    if (!item) {
      item = Keep(new qmk::SelectionItem(type));
      item->SetDisplayName(name);
    }
    if (n.Has("act_instance"))
      item->SetActInstance(
          Ref(n["act_instance"], {Kind::Instance, Kind::Sbom}, "an instance or SBOM instance")
              .DynamicCast<qmk::BaseInstance>());
    else
      item->SetActInstance(object.DynamicCast<qmk::BaseInstance>());
    entries_.at(id).object = item;
    out_.itemIds[item.get()] = id;
  }

  SmartPtr<qmk::SelectionItem> Item(Node const& n) {
    return Ref(n, {Kind::Item}, "a selection item").DynamicCast<qmk::SelectionItem>();
  }

  void ReadTrack(Node const& n, std::string const& id, int parentType) {
    n.Object({"id", "target", "selection_item", "locked", "parent_track_type", "stored", "rename",
              "refresh"});
    TrackSpec track;
    track.id = id;
    Node const target = n["target"];
    if (!target.IsNull()) {
      target.Object({"kind", "item", "scene", "display_name"});
      track.target = Keep(new animation::Target);
      track.target->m_kind = target.Integer("kind", 2);
      track.target->m_selectionItem = Item(target["item"]);
      track.target->m_scene =
          Ref(target["scene"], {Kind::Scene}, "a scene").DynamicCast<qmk::Scene>();
      if (target.Has("display_name")) track.target->m_displayName = target.Text("display_name");
    }
    track.selectionItem = n.Has("selection_item") ? Item(n["selection_item"])
                          : track.target          ? track.target->m_selectionItem
                                                  : nullptr;
    track.locked = n.Flag("locked");
    track.parentTrackType = n.Integer("parent_track_type", parentType);
    Node const stored = n["stored"];
    if (!stored.IsNull()) {
      stored.Object({"name", "properties"});
      TrackSpec::Stored s{stored.Text("name"), {}};
      Node const props = stored["properties"];
      if (!props.IsNull()) {
        if (!props.value().is_object()) props.Fail("expected an object");
        for (auto const& p : props.value().items())
          s.properties.emplace_back(p.key(), props[p.key().c_str()].Int64());
      }
      track.stored = std::move(s);
    }
    Node const rename = n["rename"];
    if (!rename.IsNull()) {
      rename.Object({"name", "by_user"});
      track.rename = TrackSpec::Rename{rename.Text("name"), rename.Flag("by_user")};
    }
    track.refresh = n.Flag("refresh");
    out_.tracks.push_back(std::move(track));
  }

  Illustration& out_;
  std::unordered_map<std::string, Entry> entries_;
};

}  // namespace

std::unique_ptr<Illustration> ReadIllustration(std::string_view text, std::string const& fileName) {
  auto illustration = std::make_unique<Illustration>();
  try {
    illustration->document = Json::parse(text.begin(), text.end());
  } catch (Json::parse_error const& e) {
    throw ReadError(fileName + ": syntax error at byte " + std::to_string(e.byte) +
                    ": not valid JSON");
  } catch (Json::exception const& e) {
    // Valid syntax that the parser cannot hold, such as a number out of range.
    throw ReadError(fileName + ": not readable JSON: " + e.what());
  }
  try {
    Reader(*illustration).Read(Node(illustration->document, fileName));
  } catch (Json::exception const& e) {
    throw ReadError(fileName + ": " + e.what());
  }
  return illustration;
}

}  // namespace illhost
