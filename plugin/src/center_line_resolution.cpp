// The instance behind a centre line, and whether a text is one of an instance's names.
#include "center_line_resolution.h"

#include "IllustrationItemTrack.h"
#include "key_symbols.h"
#include "target_lookups.h"

namespace illanimation {

namespace {
// What a centre line is attached to: an instance, content of the host (which is never looked
// up), or nothing that can be found.
struct CenterLineAttachment {
  du::SmartPtr<qmk::BaseInstance> instance;
  bool content = false;
};

// An identifier that carries the content-symbol prefix after its first character names
// content, not an instance, and is not looked up.
bool NamesContent(std::string const& id) {
  return id.find(qmk::Instance::s_content_symbolPrefix.str(), 1) != std::string::npos;
}

std::string Field(qmk::SelectionItemRepresentation const& pending, du::Symbol const& key) {
  std::string text;
  pending.GetField(key, text);
  return text;
}

// A world without an instance tree finds no instance.
du::SmartPtr<qmk::Instance> FindWorldInstance(std::string const& id) {
  du::SmartPtr<qmk::World> world = qmk::World::GetWorld();
  du::SmartPtr<qmk::Tree> tree = world ? world->GetInstanceTree() : du::SmartPtr<qmk::Tree>();
  return tree ? tree->FindInstance(du::Symbol(id)) : du::SmartPtr<qmk::Instance>();
}

// An application without an SBOM tree finds no SBOM instance.
du::SmartPtr<qmk::illustration::SbomInstance> FindSbomInstance(std::string const& id) {
  du::SmartPtr<qmk::illustration::SbomTree> tree = ApplicationSbomTree();
  return tree ? tree->FindInstance(du::Symbol(id))
              : du::SmartPtr<qmk::illustration::SbomInstance>();
}

// The stored representation names an Instance or Assembly item only to tell content apart;
// a Collection item by its SBOM instance; any other item by the part instance that owns it.
CenterLineAttachment AttachmentOfPendingObject(qmk::SelectionItemRepresentation const& pending) {
  du::Symbol const type = pending.GetRepresentationType();
  if (IsInstanceType(type)) return {{}, NamesContent(Field(pending, keys::Instance))};
  if (type == qmk::mcad_selection::Collection)
    return {FindSbomInstance(Field(pending, keys::SbomInstanceId))};
  std::string const id = Field(pending, keys::ParentInstance);
  if (NamesContent(id)) return {{}, true};
  return {FindWorldInstance(id)};
}

// The centre line's own first object when that is an instance, else its main pending object.
CenterLineAttachment AttachmentOf(du::SmartPtr<animation::Target> const& target) {
  if (!target || target->m_kind != animation::Target::kSelectionItemTarget) return {};
  du::SmartPtr<qmk::SelectionItem> item = target->m_selectionItem;
  if (!item || item->GetType() != qmk::mcad_selection::Annotation) return {};
  du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
  if (!annotation || annotation->GetClass() != qmannotations::ConstStrings::qmCenterLine) return {};
  // An annotation of the centre-line class that is not a centre line has nothing to resolve.
  du::SmartPtr<qmannotations::CenterLinesAnnotation> centerLine =
      annotation.DynamicCast<qmannotations::CenterLinesAnnotation>();
  if (!centerLine) return {};
  if (du::SmartPtr<qmk::BaseInstance> instance =
          centerLine->GetObject(0).DynamicCast<qmk::BaseInstance>())
    return {instance};
  du::ConstSmartPtr<qmk::SelectionItemRepresentation> pending = centerLine->GetMainPendingObject();
  if (!pending) return {};
  return AttachmentOfPendingObject(*pending);
}

du::SmartPtr<qmk::illustration::SbomInstance> SbomInstanceFor(
    du::SmartPtr<qmk::BaseInstance> const& instance) {
  if (auto* sbom = dynamic_cast<qmk::illustration::SbomInstance*>(instance.get()))
    return du::SmartPtr<qmk::illustration::SbomInstance>(sbom);
  auto const* part = dynamic_cast<qmk::Instance const*>(instance.get());
  if (!part) return {};
  return du::SmartPtr<qmk::illustration::SbomInstance>(
      dynamic_cast<qmk::illustration::SbomInstance*>(part->GetSbomInstance()));
}

// The display name of an SBOM instance or a part instance; empty for any other instance.
du::Symbol DisplayNameOf(du::SmartPtr<qmk::BaseInstance> const& instance) {
  du::Symbol name = du::Symbol::EMPTY;
  if (auto const* sbom = dynamic_cast<qmk::illustration::SbomInstance const*>(instance.get()))
    sbom->GetInstanceDisplayName(name);
  else if (auto const* part = dynamic_cast<qmk::Instance const*>(instance.get()))
    part->GetInstanceDisplayName(name);
  return name;
}
}  // namespace

bool MatchesInstanceName(du::SmartPtr<qmk::BaseInstance> const& instance, std::string const& text) {
  du::SmartPtr<qmk::illustration::SbomInstance> sbom = SbomInstanceFor(instance);
  if (!sbom) return false;
  if (text == sbom->m_name) return true;
  du::Symbol name;
  sbom->GetInstanceName(name);
  if (text == name) return true;
  if (du::SmartPtr<qmk::Instance> ebom = sbom->GetEbomInstance()) {
    ebom->GetInstanceName(name);
    if (text == name) return true;
  }
  sbom->GetInstanceDisplayName(name);
  return text == name;
}

du::Symbol IllustrationItemTrack::ResolveCenterLineTarget(
    du::SmartPtr<animation::Target> const& target, bool classify) {
  CenterLineAttachment const attachment = AttachmentOf(target);
  if (attachment.content) {
    SetNameType(NameType::Default);
    return du::Symbol::EMPTY;
  }
  if (!attachment.instance) return du::Symbol::EMPTY;
  if (!classify) return DisplayNameOf(attachment.instance);
  SetNameType(MatchesInstanceName(attachment.instance, m_trackName) ? NameType::FromTarget
                                                                    : NameType::Custom);
  return du::Symbol::EMPTY;
}

}  // namespace illanimation
