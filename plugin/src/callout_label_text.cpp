// A callout's label as one line of plain text, rendered by the scene's callouts engine.
#include "callout_label_text.h"

#include "host/callouts.h"
#include "host/illustration.h"

namespace illanimation {

namespace {
// Renders one callout's label from its own definition. The list is emptied first, so that
// each callout's label is made from its own content whatever the host's GetTextContent does
// with a list that is not empty.
std::string RenderLabel(qmcallouts::Callouts const& engine,
                        du::SmartPtr<qmannotations::Callout> const& callout,
                        qmannotations::LabelContentList& content) {
  content.clear();
  bool markdown = false;
  if (du::SmartPtr<qmannotations::TAnnotation> definition = callout->GetDefinition()) {
    definition->GetTextContent(content);
    markdown = definition->IsMarkdown();
  }
  std::string label;
  engine.GenerateLabelString(callout, content, markdown, label);
  return label;
}

std::string GroupText(qmcallouts::Callouts const& engine, qmannotations::Callout const& group,
                      qmannotations::LabelContentList& content) {
  bool const groupMarkdown = group.IsMarkdown();
  std::vector<du::SmartPtr<qmannotations::Callout>> const members = group.m_groupMembers;
  std::string text;
  for (auto const& member : members) {
    if (!text.empty()) text += ", ";
    // A missing member shows an empty label.
    if (!member) continue;
    std::string label = RenderLabel(engine, member, content);
    if (groupMarkdown && !member->IsMarkdown())
      label = qmk::illustration::PlainTextToMarkdown(label);
    text += label;
  }
  if (groupMarkdown) text = qmk::illustration::MarkdownToPlainText(text);
  return group.GetShortObjectDescription() + ": " + text;
}
}  // namespace

du::Symbol GetCalloutLabelText(du::SmartPtr<qmannotations::Callout> const& callout,
                               qmk::Scene* scene) {
  du::SmartPtr<qmk::ShapeScene> shapeScene(dynamic_cast<qmk::ShapeScene*>(scene));
  if (!shapeScene) return du::Symbol(callout->GetObjectText());
  du::SmartPtr<qmcallouts::Callouts> engine = qmcallouts::GetCalloutsEngineForScene(shapeScene);
  if (!engine) return du::Symbol::EMPTY;

  qmannotations::LabelContentList content;
  std::string text;
  if (callout->IsGroup()) {
    text = GroupText(*engine, *callout, content);
  } else if (callout->m_calloutKind == 0 || callout->m_calloutKind == 2) {
    std::string const description = callout->GetShortObjectDescription();
    std::string label = RenderLabel(*engine, callout, content);
    if (callout->IsMarkdown()) label = qmk::illustration::MarkdownToPlainText(label);
    // Built once at its final size: the description, ": ", the label.
    text.reserve(description.size() + 2 + label.size());
    text.append(description).append(": ").append(label);
  }
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return du::Symbol(text);
}

}  // namespace illanimation
