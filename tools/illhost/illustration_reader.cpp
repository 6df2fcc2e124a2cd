#include "illustration_reader.h"

#include "heap_pages.h"
#include "illustration_walk.h"
#include "input_text.h"
#include "json_syntax.h"
#include "quoting.h"
#include "standin_texts.h"

namespace illhost {
namespace reading {

using du::SmartPtr;

du::Symbol TypeSymbol(std::string_view text) {
  using namespace qmk::mcad_selection;
  for (du::Symbol const* s :
       {&Instance, &Assembly, &Collection, &Annotation, &Face3D, &ModelAnnotation3D})
    if (s->str() == text) return *s;
  return du::Symbol(std::string(text));
}

void Reader::Read() {
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

Ref Reader::ReadRef(json::value& v) const {
  Ref ref;
  ref.given = true;
  ref.offset = walk_.Offset(v);
  if (walk_.IsNull(v)) return ref;
  ref.id = walk_.String(v);
  ref.null = false;
  return ref;
}

du::RefCounted* Reader::Resolve(Ref const& ref, std::uint16_t kinds, char const* what,
                                bool* later) {
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

du::RefCounted* Reader::ResolveOrWait(Ref const& ref, std::uint16_t kinds, char const* what,
                                      Pending::Sink sink, du::RefCounted* holder,
                                      std::size_t index) {
  bool later = false;
  du::RefCounted* object = Resolve(ref, kinds, what, &later);
  if (later) pending_.push_back(Pending{ref, holder, index, sink});
  return object;
}

void Reader::ReadInstance(json::value& v) {
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

void Reader::ReadSbom(json::value& v) {
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
  out_.sbomIds.Set(sbom.get(), idText);
  for (auto const& [group, name, text] : properties)
    sbom->SetProperty(std::string(group), std::string(name), std::string(text));
  sbom->SetEbomInstance(static_cast<qmk::Instance*>(
      ResolveOrWait(ebom, Bit(Kind::Instance), "an instance", Pending::SbomEbom, sbom.get(), 0)));
  sbom->SetParent(static_cast<qmk::illustration::SbomInstance*>(ResolveOrWait(
      parent, Bit(Kind::Sbom), "an SBOM instance", Pending::SbomParent, sbom.get(), 0)));
}

void Reader::ReadObject(json::value& v) {
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

void Reader::ReadScene(json::value& v) {
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
  out_.itemIds.Set(item.get(), spec.id);
  return item;
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

}  // namespace reading

namespace {

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
    reading::Reader(*illustration, text, doc).Read();
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
