#include "host/kernel.h"

#include <utility>

#include "host/callouts.h"
#include "seam_hooks.h"
#include "standin_texts.h"

namespace qmk {

Object::~Object() = default;

BaseInstance::~BaseInstance() = default;
void BaseInstance::GetInstanceName(du::Symbol& name) const {
  QM_HOST_CALL("qmk::BaseInstance::GetInstanceName");
  name = du::Symbol(name_);
}
void BaseInstance::GetInstanceDisplayName(du::Symbol& name) const {
  QM_HOST_CALL("qmk::BaseInstance::GetInstanceDisplayName");
  name = du::Symbol(displayName_);
}
void BaseInstance::SetNames(std::string name, std::string displayName) {
  name_ = std::move(name);
  displayName_ = std::move(displayName);
}

SbomInstance::~SbomInstance() = default;

Instance::~Instance() = default;
SbomInstance* Instance::GetSbomInstance() const {
  QM_HOST_CALL("qmk::Instance::GetSbomInstance");
  return sbom_;
}
du::Symbol Instance::s_content_symbolPrefix(standin::kDefaultContentPrefix);

Tree::~Tree() = default;
du::SmartPtr<Instance> Tree::FindInstance(du::Symbol const& id) const {
  QM_HOST_CALL("qmk::Tree::FindInstance");
  auto found = instances_.find(id.str());
  return found == instances_.end() ? du::SmartPtr<Instance>() : found->second;
}
void Tree::Add(du::Symbol const& id, du::SmartPtr<Instance> const& instance) {
  instances_[id.str()] = instance;
}
void Tree::Add(std::string id, du::SmartPtr<Instance> const& instance) {
  instances_[std::move(id)] = instance;
}
void Tree::Clear() { instances_.clear(); }

World::~World() = default;
du::SmartPtr<World> World::GetWorld() {
  QM_HOST_CALL("qmk::World::GetWorld");
  // Lives for the whole process, like the host's world.
  static World* world = [] {
    auto* w = new World;
    w->AddReference(&world);
    return w;
  }();
  return du::SmartPtr<World>(world);
}
du::SmartPtr<Tree> World::GetInstanceTree() const {
  QM_HOST_CALL("qmk::World::GetInstanceTree");
  return tree_;
}
void World::SetInstanceTree(du::SmartPtr<Tree> tree) { tree_ = std::move(tree); }

Scene::~Scene() = default;
ShapeScene::ShapeScene() = default;
ShapeScene::~ShapeScene() = default;
void ShapeScene::SetCalloutsEngine(du::SmartPtr<qmcallouts::Callouts> engine) {
  engine_ = std::move(engine);
}

namespace mcad_selection {
const du::Symbol Instance("Instance");
const du::Symbol Assembly("Assembly");
const du::Symbol Collection("Collection");
const du::Symbol Annotation("Annotation");
const du::Symbol Face3D("Face3D");
const du::Symbol ModelAnnotation3D("ModelAnnotation3D");
}  // namespace mcad_selection

SelectionItem::SelectionItem(du::Symbol type) : type_(type) {}
SelectionItem::~SelectionItem() = default;
du::Symbol const& SelectionItem::GetType() const {
  QM_HOST_CALL("qmk::SelectionItem::GetType");
  return type_;
}
std::string SelectionItem::GetDisplayName() const {
  QM_HOST_CALL("qmk::SelectionItem::GetDisplayName");
  return displayName_;
}
du::SmartPtr<BaseInstance> SelectionItem::ActInstanceIn(Scene const* scene) const {
  return actScene_ && scene == actScene_ ? actInstanceInScene_ : actInstance_;
}
void SelectionItem::SetAnnotation(du::SmartPtr<Annotation> annotation) {
  annotation_ = std::move(annotation);
}

ObjectSelectionItem::ObjectSelectionItem(du::Symbol type, du::SmartPtr<Object> object)
    : SelectionItem(type), object_(std::move(object)) {}
ObjectSelectionItem::~ObjectSelectionItem() = default;
du::SmartPtr<Object> ObjectSelectionItem::GetObject() const {
  QM_HOST_CALL("qmk::ObjectSelectionItem::GetObject");
  return object_;
}

GeometrySelectionItem::GeometrySelectionItem(du::Symbol type, du::SmartPtr<Object> parent)
    : SelectionItem(type), parent_(std::move(parent)) {}
GeometrySelectionItem::~GeometrySelectionItem() = default;
du::SmartPtr<Object> GeometrySelectionItem::GetParentObject() const {
  QM_HOST_CALL("qmk::GeometrySelectionItem::GetParentObject");
  return parent_;
}

SelectionItemRepresentation::SelectionItemRepresentation(du::Symbol type) : type_(type) {}
SelectionItemRepresentation::~SelectionItemRepresentation() = default;
du::Symbol SelectionItemRepresentation::GetRepresentationType() const {
  QM_HOST_CALL("qmk::SelectionItemRepresentation::GetRepresentationType");
  return type_;
}
bool SelectionItemRepresentation::GetField(du::Symbol const& key, std::string& text) const {
  QM_HOST_CALL("qmk::SelectionItemRepresentation::GetField");
  auto found = fields_.find(key.str());
  if (found == fields_.end()) return false;
  text = found->second;
  return true;
}

Annotation::Annotation(du::Symbol annotationClass) : class_(annotationClass) {}
Annotation::~Annotation() = default;
du::Symbol Annotation::GetClass() const {
  QM_HOST_CALL("qmk::Annotation::GetClass");
  return class_;
}

Operation::~Operation() = default;

}  // namespace qmk
