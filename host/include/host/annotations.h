// Host annotation library: centre lines, callouts and their label content.
#pragma once

#include <string>
#include <vector>

#include "host/kernel.h"

namespace qmannotations {

struct QM_HOST_API ConstStrings {
  static const du::Symbol qmCenterLine;
  static const du::Symbol qmCalloutLabel;
};

// An annotation attached to model objects, some of them still pending as stored items.
class QM_HOST_API AssocAnnotation : public qmk::Annotation {
 public:
  explicit AssocAnnotation(du::Symbol annotationClass);
  ~AssocAnnotation() override;
  du::ConstSmartPtr<qmk::SelectionItemRepresentation> GetMainPendingObject() const;

  QM_STANDIN_ONLY void SetMainPendingObject(du::SmartPtr<qmk::SelectionItemRepresentation> pending);

 private:
  du::SmartPtr<qmk::SelectionItemRepresentation> pending_;
};

class QM_HOST_API CenterLinesAnnotation : public AssocAnnotation {
 public:
  CenterLinesAnnotation();
  // A centre line that the host files under another annotation class.
  QM_STANDIN_ONLY explicit CenterLinesAnnotation(du::Symbol annotationClass);
  ~CenterLinesAnnotation() override;
  du::SmartPtr<qmk::Object> GetObject(int index) const;

  QM_STANDIN_ONLY void AddObject(du::SmartPtr<qmk::Object> object) {
    objects_.push_back(std::move(object));
  }

 private:
  std::vector<du::SmartPtr<qmk::Object>> objects_;
};

// One part of a callout's label: literal text, a tag, or the value of a property.
class QM_HOST_API LabelContent : public du::RefCounted {
 public:
  LabelContent(std::string propertyGroup, std::string propertyName, std::string contentKind,
               std::string relation, std::string text = {});
  ~LabelContent() override;
  std::string const& GetPropertyGroup() const { return propertyGroup_; }
  std::string const& GetPropertyName() const { return propertyName_; }
  std::string const& GetContentKind() const { return contentKind_; }
  std::string const& GetRelation() const { return relation_; }
  std::string const& GetText() const { return text_; }

 private:
  std::string propertyGroup_;
  std::string propertyName_;
  std::string contentKind_;
  std::string relation_;
  std::string text_;
};

using LabelContentList = std::vector<du::SmartPtr<LabelContent>>;

// Text annotation; a callout's definition is one.
class QM_HOST_API TAnnotation : public qmk::Annotation {
 public:
  TAnnotation();
  ~TAnnotation() override;
  // Appends the definition's label content to the list.
  virtual bool GetTextContent(LabelContentList& content) const;
  virtual bool IsMarkdown() const;

  QM_STANDIN_ONLY void SetContent(LabelContentList content) { content_ = std::move(content); }
  QM_STANDIN_ONLY void SetMarkdown(bool markdown) { markdown_ = markdown; }
  // What GetTextContent answers, whatever it appends: by default whether it appended any.
  QM_STANDIN_ONLY void SetTextContentAnswer(bool answer) { answer_ = answer ? 1 : 0; }

 private:
  LabelContentList content_;
  int answer_ = -1;  // -1: the answer agrees with the content appended
  bool markdown_ = false;
};

// Where a callout is attached: two identifiers of the attached item.
class QM_HOST_API AttachmentRecord : public du::RefCounted {
 public:
  AttachmentRecord(std::string first, std::string second);
  ~AttachmentRecord() override;
  std::string m_firstId;
  std::string m_secondId;
};

class QM_HOST_API Callout : public AssocAnnotation {
 public:
  enum CALLOUT_TYPE : int { CT_Standard = 0, CT_Balloon = 1, CT_Sbom = 2 };

  Callout();
  // A callout that the host files under another annotation class.
  QM_STANDIN_ONLY explicit Callout(du::Symbol annotationClass);
  ~Callout() override;
  virtual bool IsGroup() const;
  CALLOUT_TYPE GetType() const;
  bool IsMarkdown() const;
  std::string GetShortObjectDescription() const;
  du::SmartPtr<TAnnotation> GetDefinition() const;
  // The text that the callout's object interface gives.
  std::string GetObjectText() const;

  std::vector<du::SmartPtr<AttachmentRecord>> m_attachments;
  std::vector<du::SmartPtr<Callout>> m_groupMembers;
  int m_calloutKind = 0;

  QM_STANDIN_ONLY void SetGroup(bool group) { group_ = group; }
  QM_STANDIN_ONLY void SetType(int type) { type_ = static_cast<CALLOUT_TYPE>(type); }
  QM_STANDIN_ONLY void SetMarkdown(bool markdown) { markdown_ = markdown; }
  QM_STANDIN_ONLY void SetShortObjectDescription(std::string text) {
    shortDescription_ = std::move(text);
  }
  QM_STANDIN_ONLY void SetObjectText(std::string text) { objectText_ = std::move(text); }
  QM_STANDIN_ONLY void SetDefinition(du::SmartPtr<TAnnotation> definition) {
    definition_ = std::move(definition);
  }
  QM_STANDIN_ONLY void SetTag(std::string tag) { tag_ = std::move(tag); }
  QM_STANDIN_ONLY std::string const& Tag() const { return tag_; }

 private:
  bool group_ = false;
  CALLOUT_TYPE type_ = CT_Standard;
  bool markdown_ = false;
  std::string shortDescription_;
  std::string objectText_;
  std::string tag_;
  du::SmartPtr<TAnnotation> definition_;
};

}  // namespace qmannotations
