#include "host/illustration.h"

#include <utility>

#include "seam_hooks.h"

namespace qmk {
namespace illustration {

SbomProperty::SbomProperty(std::string value) : value_(std::move(value)) {}
SbomProperty::~SbomProperty() = default;
du::Symbol SbomProperty::GetValue() const {
  QM_HOST_CALL("qmk::illustration::SbomProperty::GetValue");
  return du::Symbol(value_);
}

SbomInstance::~SbomInstance() = default;
du::SmartPtr<qmk::Instance> SbomInstance::GetEbomInstance() const {
  QM_HOST_CALL("qmk::illustration::SbomInstance::GetEbomInstance");
  return du::SmartPtr<qmk::Instance>(ebom_);
}
bool SbomInstance::GetParent(du::SmartPtr<SbomInstance>& parent) const {
  QM_HOST_CALL("qmk::illustration::SbomInstance::GetParent");
  parent = du::SmartPtr<SbomInstance>(parent_);
  return parentAnswer_ < 0 ? parent_ != nullptr : parentAnswer_ == 1;
}
du::SmartPtr<SbomProperty> SbomInstance::FindProperty(du::Symbol const& group,
                                                      du::Symbol const& name,
                                                      du::Symbol const& qualifier) const {
  QM_HOST_CALL("qmk::illustration::SbomInstance::FindProperty");
  auto found = properties_.find({group.str(), name.str(), qualifier.str()});
  return found == properties_.end() ? du::SmartPtr<SbomProperty>() : found->second;
}
void SbomInstance::SetProperty(std::string const& group, std::string const& name, std::string value,
                               std::string const& qualifier) {
  properties_[{group, name, qualifier}] =
      du::SmartPtr<SbomProperty>(new SbomProperty(std::move(value)));
}

SbomTree::~SbomTree() = default;
du::SmartPtr<SbomInstance> SbomTree::FindInstance(du::Symbol const& id) const {
  QM_HOST_CALL("qmk::illustration::SbomTree::FindInstance");
  auto found = instances_.find(id.str());
  return found == instances_.end() ? du::SmartPtr<SbomInstance>() : found->second;
}
void SbomTree::Add(du::Symbol const& id, du::SmartPtr<SbomInstance> const& instance) {
  instances_[id.str()] = instance;
}
void SbomTree::Add(std::string id, du::SmartPtr<SbomInstance> const& instance) {
  instances_[std::move(id)] = instance;
}
void SbomTree::Clear() { instances_.clear(); }

SbomInstanceSelectionItem::SbomInstanceSelectionItem(du::SmartPtr<SbomInstance> instance, bool flag)
    : qmk::SelectionItem(qmk::mcad_selection::Collection),
      instance_(std::move(instance)),
      flag_(flag) {
  if (instance_) {
    du::Symbol name;
    instance_->GetInstanceDisplayName(name);
    SetDisplayName(name);
  }
}
SbomInstanceSelectionItem::~SbomInstanceSelectionItem() = default;
du::SmartPtr<SbomInstanceSelectionItem> SbomInstanceSelectionItem::Create(
    du::SmartPtr<SbomInstance> const& instance, bool flag) {
  QM_HOST_CALL("qmk::illustration::SbomInstanceSelectionItem::Create");
  if (!instance || !instance->IsSelectable()) return {};
  return du::SmartPtr<SbomInstanceSelectionItem>(new SbomInstanceSelectionItem(instance, flag));
}

namespace {
bool IsMarkup(char c) { return c == '\\' || c == '*' || c == '_' || c == '#'; }
}  // namespace

std::string MarkdownToPlainText(std::string const& markdown) {
  QM_HOST_CALL("qmk::illustration::MarkdownToPlainText");
  std::string plain;
  plain.reserve(markdown.size());
  bool lineStart = true;
  for (std::size_t i = 0; i < markdown.size(); ++i) {
    char c = markdown[i];
    if (lineStart && c == '#') {
      // A heading: "#" to "######" and one blank at the start of a line are dropped.
      std::size_t j = i;
      while (j < markdown.size() && markdown[j] == '#') ++j;
      if (j - i <= 6 && j < markdown.size() && markdown[j] == ' ') {
        i = j;
        lineStart = false;
        continue;
      }
    }
    lineStart = c == '\n';
    if (c == '\\' && i + 1 < markdown.size() && IsMarkup(markdown[i + 1])) {
      plain += markdown[++i];
    } else if (c != '*' && c != '_') {
      plain += c;
    }
  }
  return plain;
}

std::string PlainTextToMarkdown(std::string const& text) {
  QM_HOST_CALL("qmk::illustration::PlainTextToMarkdown");
  std::string markdown;
  markdown.reserve(text.size());
  for (char c : text) {
    if (IsMarkup(c)) markdown += '\\';
    markdown += c;
  }
  return markdown;
}

}  // namespace illustration
}  // namespace qmk
