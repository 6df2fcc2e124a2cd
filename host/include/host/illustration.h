// Host illustration kernel: SBOM instances and trees, their selection items, markdown text.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "host/kernel.h"

namespace qmk {
namespace illustration {

class QM_HOST_API SbomProperty : public du::RefCounted {
 public:
  explicit SbomProperty(std::string value);
  ~SbomProperty() override;
  du::Symbol GetValue() const;

 private:
  std::string value_;  // made a symbol when asked, like an instance's names
};

class QM_HOST_API SbomInstance : public qmk::SbomInstance {
 public:
  ~SbomInstance() override;
  du::SmartPtr<qmk::Instance> GetEbomInstance() const;
  bool GetParent(du::SmartPtr<SbomInstance>& parent) const;
  du::SmartPtr<SbomProperty> FindProperty(du::Symbol const& group, du::Symbol const& name,
                                          du::Symbol const& qualifier) const;

  // The SBOM instance's own name.
  du::Symbol m_name;

  // The links do not own their targets; the trees do.
  QM_STANDIN_ONLY void SetEbomInstance(qmk::Instance* ebom) { ebom_ = ebom; }
  QM_STANDIN_ONLY void SetParent(SbomInstance* parent) { parent_ = parent; }
  // A property under its group, name and qualifier: FindProperty finds it only when asked with
  // the same qualifier.
  QM_STANDIN_ONLY void SetProperty(std::string const& group, std::string const& name,
                                   std::string value, std::string const& qualifier = {});
  // What GetParent answers, whatever it fills: by default whether it filled a parent.
  QM_STANDIN_ONLY void SetParentAnswer(bool answer) { parentAnswer_ = answer ? 1 : 0; }
  // An instance that cannot be selected: the host makes no selection item for it.
  QM_STANDIN_ONLY void SetSelectable(bool selectable) { selectable_ = selectable; }
  QM_STANDIN_ONLY bool IsSelectable() const { return selectable_; }

 private:
  qmk::Instance* ebom_ = nullptr;
  SbomInstance* parent_ = nullptr;
  std::map<std::tuple<std::string, std::string, std::string>, du::SmartPtr<SbomProperty>>
      properties_;
  int parentAnswer_ = -1;  // -1: the answer agrees with the parent filled
  bool selectable_ = true;
};

class QM_HOST_API SbomTree : public du::RefCounted {
 public:
  ~SbomTree() override;
  du::SmartPtr<SbomInstance> FindInstance(du::Symbol const& id) const;

  QM_STANDIN_ONLY void Add(du::Symbol const& id, du::SmartPtr<SbomInstance> const& instance);
  // The same without interning the id, for illustrations of many instances.
  QM_STANDIN_ONLY void Add(std::string id, du::SmartPtr<SbomInstance> const& instance);
  QM_STANDIN_ONLY void Clear();

 private:
  std::map<std::string, du::SmartPtr<SbomInstance>> instances_;
};

// The selection item that stands for an SBOM instance.
class QM_HOST_API SbomInstanceSelectionItem : public qmk::SelectionItem {
 public:
  static du::SmartPtr<SbomInstanceSelectionItem> Create(du::SmartPtr<SbomInstance> const& instance,
                                                        bool flag);
  ~SbomInstanceSelectionItem() override;
  QM_STANDIN_ONLY du::SmartPtr<SbomInstance> const& GetSbomInstance() const { return instance_; }
  // The flag that Create was given; the stand-in keeps it only so that tests can see it.
  QM_STANDIN_ONLY bool CreationFlag() const { return flag_; }

 private:
  SbomInstanceSelectionItem(du::SmartPtr<SbomInstance> instance, bool flag);
  du::SmartPtr<SbomInstance> instance_;
  bool flag_;
};

// Markdown here is a small subset: emphasis markers (*, **, _, __), headings ("# " at the start
// of a line) and backslash escapes. PlainTextToMarkdown escapes every character that this
// subset reads as markup, so MarkdownToPlainText(PlainTextToMarkdown(t)) == t for any t.
QM_HOST_API std::string MarkdownToPlainText(std::string const& markdown);
QM_HOST_API std::string PlainTextToMarkdown(std::string const& text);

}  // namespace illustration
}  // namespace qmk
