#include "model.h"

namespace hostmodel {

Model::Model() : tree_(new qmk::Tree), sbomTree_(new qmk::illustration::SbomTree) {
  qmk::World::GetWorld()->SetInstanceTree(tree_);
  qmkapp::illustration::TesselApp::SetSbomTree(sbomTree_);
}

Model::~Model() {
  // Group members may refer to each other; empty them so that every callout can go.
  for (auto const& callout : callouts_) callout->m_groupMembers.clear();
  qmk::World::GetWorld()->SetInstanceTree({});
  qmkapp::illustration::TesselApp::SetSbomTree({});
}

du::SmartPtr<qmk::Instance> Model::AddInstance(std::string const& id, std::string const& name,
                                               std::string const& displayName) {
  auto instance = Keep(new qmk::Instance);
  instance->SetNames(name, displayName);
  tree_->Add(std::string(id), instance);
  return instance;
}

du::SmartPtr<qmk::illustration::SbomInstance> Model::AddSbom(std::string const& id,
                                                             std::string const& symbol,
                                                             std::string const& name,
                                                             std::string const& displayName) {
  auto sbom = Keep(new qmk::illustration::SbomInstance);
  sbom->m_name = symbol;
  sbom->SetNames(name, displayName);
  sbomTree_->Add(std::string(id), sbom);
  return sbom;
}

void Model::Link(du::SmartPtr<qmk::Instance> const& instance,
                 du::SmartPtr<qmk::illustration::SbomInstance> const& sbom) {
  instance->SetSbomInstance(sbom.get());
  sbom->SetEbomInstance(instance.get());
}

du::SmartPtr<qmk::ShapeScene> Model::AddShapeScene(bool withCalloutsEngine) {
  auto scene = Keep(new qmk::ShapeScene);
  if (withCalloutsEngine)
    scene->SetCalloutsEngine(du::SmartPtr<qmcallouts::Callouts>(new qmcallouts::Callouts));
  return scene;
}

du::SmartPtr<qmk::Scene> Model::AddPlainScene() { return Keep(new qmk::Scene); }

du::SmartPtr<qmk::SelectionItem> Model::AddObjectItem(du::Symbol const& type,
                                                      du::SmartPtr<qmk::Object> const& object,
                                                      std::string const& displayName) {
  du::SmartPtr<qmk::SelectionItem> item = Keep(new qmk::ObjectSelectionItem(type, object));
  item->SetDisplayName(displayName);
  item->SetActInstance(object.DynamicCast<qmk::BaseInstance>());
  return item;
}

du::SmartPtr<qmk::SelectionItem> Model::AddGeometryItem(du::Symbol const& type,
                                                        du::SmartPtr<qmk::Object> const& parent,
                                                        std::string const& displayName) {
  du::SmartPtr<qmk::SelectionItem> item = Keep(new qmk::GeometrySelectionItem(type, parent));
  item->SetDisplayName(displayName);
  return item;
}

du::SmartPtr<qmk::SelectionItem> Model::AddAnnotationItem(
    du::SmartPtr<qmk::Annotation> const& annotation, std::string const& displayName) {
  auto item = Keep(new qmk::SelectionItem(qmk::mcad_selection::Annotation));
  item->SetDisplayName(displayName);
  item->SetAnnotation(annotation);
  return item;
}

du::SmartPtr<qmannotations::CenterLinesAnnotation> Model::AddCenterLine() {
  return Keep(new qmannotations::CenterLinesAnnotation);
}

du::SmartPtr<qmannotations::Callout> Model::AddCallout(std::string const& shortDescription,
                                                       qmannotations::LabelContentList content,
                                                       std::string const& attachedSbomId) {
  auto callout = Keep(new qmannotations::Callout);
  callouts_.push_back(callout);
  callout->SetShortObjectDescription(shortDescription);
  du::SmartPtr<qmannotations::TAnnotation> definition(new qmannotations::TAnnotation);
  definition->SetContent(std::move(content));
  callout->SetDefinition(definition);
  if (!attachedSbomId.empty())
    callout->m_attachments.emplace_back(new qmannotations::AttachmentRecord("", attachedSbomId));
  return callout;
}

du::SmartPtr<animation::Target> Model::MakeTarget(du::SmartPtr<qmk::SelectionItem> const& item,
                                                  du::SmartPtr<qmk::Scene> const& scene, int kind) {
  du::SmartPtr<animation::Target> target(new animation::Target);
  target->m_kind = kind;
  target->m_selectionItem = item;
  target->m_scene = scene;
  return target;
}

std::vector<std::string> Model::NamesEqualTo(du::SmartPtr<animation::Target> const& target,
                                             std::string const& text) {
  std::vector<std::string> names;
  if (!target) return names;
  if (text == animation::engineutils::GetTargetDisplayName(target))
    names.emplace_back("the target's display name");
  du::SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  du::SmartPtr<qmk::Object> object;
  std::string compared = text, of = " of the SBOM instance", upTo;
  if (auto const* chosen = dynamic_cast<qmk::ObjectSelectionItem const*>(item.get())) {
    object = chosen->GetObject();
  } else if (auto const* face = dynamic_cast<qmk::GeometrySelectionItem const*>(item.get())) {
    // A face is named after its part: the part's name, "::", then the face's own.
    object = face->GetParentObject();
    compared = text.substr(0, text.find("::"));
    upTo = ", up to \"::\"";
  }
  auto* sbom = dynamic_cast<qmk::illustration::SbomInstance*>(object.get());
  if (auto const* part = dynamic_cast<qmk::Instance const*>(object.get())) {
    sbom = dynamic_cast<qmk::illustration::SbomInstance*>(part->GetSbomInstance());
    of += " behind the part";
  }
  of += upTo;
  if (!sbom) return names;
  du::Symbol name;
  if (compared == sbom->m_name) names.push_back("the SBOM symbol" + of);
  sbom->GetInstanceName(name);
  if (compared == name) names.push_back("the instance name" + of);
  if (du::SmartPtr<qmk::Instance> ebom = sbom->GetEbomInstance()) {
    ebom->GetInstanceName(name);
    if (compared == name) names.push_back("the eBOM instance name" + of);
  }
  sbom->GetInstanceDisplayName(name);
  if (compared == name) names.push_back("the display name" + of);
  return names;
}

du::SmartPtr<qmannotations::LabelContent> Part(std::string group, std::string property,
                                               std::string kind, std::string relation,
                                               std::string text) {
  return du::SmartPtr<qmannotations::LabelContent>(
      new qmannotations::LabelContent(std::move(group), std::move(property), std::move(kind),
                                      std::move(relation), std::move(text)));
}

du::SmartPtr<qmannotations::LabelContent> TextPart(std::string text) {
  return Part({}, {}, {}, {}, std::move(text));
}

}  // namespace hostmodel
