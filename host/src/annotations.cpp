#include "host/annotations.h"

#include "seam_hooks.h"

namespace qmannotations {

const du::Symbol ConstStrings::qmCenterLine("CenterLine");
const du::Symbol ConstStrings::qmCalloutLabel("CalloutLabel");

AssocAnnotation::AssocAnnotation(du::Symbol annotationClass) : qmk::Annotation(annotationClass) {}
AssocAnnotation::~AssocAnnotation() = default;
du::ConstSmartPtr<qmk::SelectionItemRepresentation> AssocAnnotation::GetMainPendingObject() const {
  QM_HOST_CALL("qmannotations::AssocAnnotation::GetMainPendingObject");
  return du::ConstSmartPtr<qmk::SelectionItemRepresentation>(pending_);
}
void AssocAnnotation::SetMainPendingObject(du::SmartPtr<qmk::SelectionItemRepresentation> pending) {
  pending_ = std::move(pending);
}

CenterLinesAnnotation::CenterLinesAnnotation() : AssocAnnotation(ConstStrings::qmCenterLine) {}
CenterLinesAnnotation::CenterLinesAnnotation(du::Symbol annotationClass)
    : AssocAnnotation(annotationClass) {}
CenterLinesAnnotation::~CenterLinesAnnotation() = default;
du::SmartPtr<qmk::Object> CenterLinesAnnotation::GetObject(int index) const {
  QM_HOST_CALL("qmannotations::CenterLinesAnnotation::GetObject");
  if (index < 0 || static_cast<std::size_t>(index) >= objects_.size()) return {};
  return objects_[static_cast<std::size_t>(index)];
}

LabelContent::LabelContent(std::string propertyGroup, std::string propertyName,
                           std::string contentKind, std::string relation, std::string text)
    : propertyGroup_(std::move(propertyGroup)),
      propertyName_(std::move(propertyName)),
      contentKind_(std::move(contentKind)),
      relation_(std::move(relation)),
      text_(std::move(text)) {}
LabelContent::~LabelContent() = default;

TAnnotation::TAnnotation() : qmk::Annotation(du::Symbol("Text")) {}
TAnnotation::~TAnnotation() = default;
bool TAnnotation::GetTextContent(LabelContentList& content) const {
  QM_HOST_CALL("qmannotations::TAnnotation::GetTextContent");
  content.insert(content.end(), content_.begin(), content_.end());
  return answer_ < 0 ? !content_.empty() : answer_ == 1;
}
bool TAnnotation::IsMarkdown() const {
  QM_HOST_CALL("qmannotations::TAnnotation::IsMarkdown");
  return markdown_;
}

AttachmentRecord::AttachmentRecord(std::string first, std::string second)
    : m_firstId(std::move(first)), m_secondId(std::move(second)) {}
AttachmentRecord::~AttachmentRecord() = default;

Callout::Callout() : AssocAnnotation(ConstStrings::qmCalloutLabel) {}
Callout::Callout(du::Symbol annotationClass) : AssocAnnotation(annotationClass) {}
Callout::~Callout() = default;
bool Callout::IsGroup() const {
  QM_HOST_CALL("qmannotations::Callout::IsGroup");
  return group_;
}
Callout::CALLOUT_TYPE Callout::GetType() const {
  QM_HOST_CALL("qmannotations::Callout::GetType");
  return type_;
}
bool Callout::IsMarkdown() const {
  QM_HOST_CALL("qmannotations::Callout::IsMarkdown");
  return markdown_;
}
std::string Callout::GetShortObjectDescription() const {
  QM_HOST_CALL("qmannotations::Callout::GetShortObjectDescription");
  return shortDescription_;
}
du::SmartPtr<TAnnotation> Callout::GetDefinition() const {
  QM_HOST_CALL("qmannotations::Callout::GetDefinition");
  return definition_;
}
std::string Callout::GetObjectText() const {
  QM_HOST_CALL("qmannotations::Callout::GetObjectText");
  return objectText_;
}

}  // namespace qmannotations
