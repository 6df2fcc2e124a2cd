#include "host/callouts.h"

#include "host/application.h"
#include "seam_hooks.h"

namespace qmcallouts {

namespace {
// The SBOM instance that a callout labels: its first attachment record names it by its
// second identifier, or by its first when the second is empty.
du::SmartPtr<qmk::illustration::SbomInstance> LabelledInstance(
    qmannotations::Callout const& callout) {
  if (callout.m_attachments.empty()) return {};
  auto tree = qmkapp::illustration::TesselApp::GetSbomTree();
  if (!tree) return {};
  auto const& record = *callout.m_attachments.front();
  return tree->FindInstance(
      du::Symbol(record.m_secondId.empty() ? record.m_firstId : record.m_secondId));
}

std::string PropertyValue(du::SmartPtr<qmk::illustration::SbomInstance> owner,
                          qmannotations::LabelContent const& part) {
  if (owner && part.GetRelation() == "Parent") {
    du::SmartPtr<qmk::illustration::SbomInstance> parent;
    owner->GetParent(parent);
    owner = parent;
  }
  if (!owner) return {};
  auto property = owner->FindProperty(du::Symbol(part.GetPropertyGroup()),
                                      du::Symbol(part.GetPropertyName()), du::Symbol::EMPTY);
  return property ? property->GetValue().str() : std::string();
}
}  // namespace

Callouts::~Callouts() = default;

void Callouts::GenerateLabelString(du::SmartPtr<qmannotations::Callout> const& callout,
                                   qmannotations::LabelContentList content, bool markdown,
                                   std::string& out) const {
  QM_HOST_CALL("qmcallouts::Callouts::GenerateLabelString");
  if (!callout) return;
  auto instance = LabelledInstance(*callout);
  for (auto const& part : content) {
    if (!part) continue;
    if (part->GetContentKind() == "Value") {
      std::string value = PropertyValue(instance, *part);
      out += markdown ? qmk::illustration::PlainTextToMarkdown(value) : value;
    } else if (part->GetPropertyName() == "qmTAG" && part->GetContentKind().empty()) {
      out += markdown ? qmk::illustration::PlainTextToMarkdown(callout->Tag()) : callout->Tag();
    } else {
      out += part->GetText();
    }
  }
}

du::SmartPtr<Callouts> GetCalloutsEngineForScene(du::SmartPtr<qmk::ShapeScene> const& scene) {
  QM_HOST_CALL("qmcallouts::GetCalloutsEngineForScene");
  return scene ? scene->CalloutsEngine() : du::SmartPtr<Callouts>();
}

}  // namespace qmcallouts
