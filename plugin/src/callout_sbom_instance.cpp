// The SBOM instance behind a callout, and whether a track name carries the property values
// where the callout's label shows them.
#include "callout_sbom_instance.h"

#include "IllustrationItemTrack.h"
#include "target_lookups.h"

namespace illanimation {

du::SmartPtr<qmk::illustration::SbomInstance> FindCalloutSbomInstance(
    du::SmartPtr<qmannotations::Callout> const& callout) {
  std::vector<du::SmartPtr<qmannotations::AttachmentRecord>> const records = callout->m_attachments;
  if (records.empty()) return {};
  // An application without an SBOM tree knows no SBOM instance.
  du::SmartPtr<qmk::illustration::SbomTree> tree = ApplicationSbomTree();
  if (!tree || !records.front()) return {};
  qmannotations::AttachmentRecord const& record = *records.front();
  return tree->FindInstance(
      du::Symbol(record.m_secondId.empty() ? record.m_firstId : record.m_secondId));
}

void IllustrationItemTrack::ClassifyNameByLabelContent(
    du::SmartPtr<qmk::illustration::SbomInstance> const& instance,
    qmannotations::LabelContentList const& content, du::Symbol const& label) {
  if (!instance) {
    SetNameType(NameType::Custom);
    return;
  }
  std::string text = label;
  std::string name = m_trackName;
  bool match = true;
  for (auto const& part : content) {
    if (!part || !ShowsNameValue(*part)) continue;
    du::SmartPtr<qmk::illustration::SbomInstance> owner = instance;
    if (part->GetRelation() == "Parent") {
      du::SmartPtr<qmk::illustration::SbomInstance> parent;
      owner->GetParent(parent);
      owner = parent;
    }
    // A parent that does not exist holds no property: the part is skipped like a missing one.
    if (!owner) continue;
    du::SmartPtr<qmk::illustration::SbomProperty> property =
        owner->FindProperty(du::Symbol(part->GetPropertyGroup()),
                            du::Symbol(part->GetPropertyName()), du::Symbol::EMPTY);
    if (!property) continue;
    du::Symbol const value = property->GetValue();
    std::size_t const at = text.find(value.str());
    if (at == std::string::npos) {
      match = false;
      break;
    }
    // The value must stand at the same offset in the name; the owner's name may stand in for it.
    std::size_t matched = value.length();
    if (name.find(value.str()) != at) {
      if (name.find(owner->m_name.str()) != at) {
        match = false;
        break;
      }
      matched = owner->m_name.length();
    }
    text.erase(0, at + value.length());
    name.erase(0, at + matched);
  }
  SetNameType(match ? NameType::FromTarget : NameType::Custom);
}

}  // namespace illanimation
