// The instance behind a centre line, and whether a text is one of an instance's names.
#include "IllustrationItemTrack.h"
#include "key_symbols.h"
#include "target_lookups.h"

namespace illanimation {

namespace {
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
  return tree ? tree->FindInstance(du::Symbol(id)) : du::SmartPtr<qmk::illustration::SbomInstance>();
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
  du::Symbol result = du::Symbol::EMPTY;
  if (!target || target->m_kind != animation::Target::kSelectionItemTarget) return result;
  du::SmartPtr<qmk::SelectionItem> item = target->m_selectionItem;
  if (!item || item->GetType() != qmk::mcad_selection::Annotation) return result;
  du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
  if (!annotation || annotation->GetClass() != qmannotations::ConstStrings::qmCenterLine)
    return result;
  // An annotation of the centre-line class that is not a centre line has nothing to resolve.
  du::SmartPtr<qmannotations::CenterLinesAnnotation> centerLine =
      annotation.DynamicCast<qmannotations::CenterLinesAnnotation>();
  if (!centerLine) return result;

  du::SmartPtr<qmk::BaseInstance> instance = centerLine->GetObject(0).DynamicCast<qmk::BaseInstance>();
  if (!instance) {
    du::ConstSmartPtr<qmk::SelectionItemRepresentation> pending = centerLine->GetMainPendingObject();
    if (!pending) return result;
    du::Symbol const type = pending->GetRepresentationType();
    if (IsInstanceType(type)) {
      if (NamesContent(Field(*pending, keys::Instance))) SetNameType(NameType::Default);
      return result;
    }
    if (type == qmk::mcad_selection::Collection) {
      instance = FindSbomInstance(Field(*pending, keys::SbomInstanceId));
    } else {
      std::string const id = Field(*pending, keys::ParentInstance);
      if (NamesContent(id)) {
        SetNameType(NameType::Default);
        return result;
      }
      instance = FindWorldInstance(id);
    }
    if (!instance) return result;
  }

  if (classify) {
    SetNameType(MatchesInstanceName(instance, m_trackName) ? NameType::FromTarget : NameType::Custom);
  } else if (auto const* sbom = dynamic_cast<qmk::illustration::SbomInstance const*>(instance.get())) {
    sbom->GetInstanceDisplayName(result);
  } else if (auto const* part = dynamic_cast<qmk::Instance const*>(instance.get())) {
    part->GetInstanceDisplayName(result);
  }
  return result;
}

}  // namespace illanimation
