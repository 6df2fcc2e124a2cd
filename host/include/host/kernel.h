// Host kernel library: objects, instances, scenes, selection items and annotations.
#pragma once

#include <map>
#include <string>

#include "host/utilities.h"

namespace qmcallouts {
class Callouts;
}

namespace qmk {

class SbomInstance;

class QM_HOST_API Object : public du::RefCounted {
 public:
  ~Object() override;
};

// Anything with an instance name and a display name: part instances and SBOM instances.
class QM_HOST_API BaseInstance : public Object {
 public:
  ~BaseInstance() override;
  virtual void GetInstanceName(du::Symbol& name) const;
  virtual void GetInstanceDisplayName(du::Symbol& name) const;

  QM_STANDIN_ONLY void SetNames(std::string name, std::string displayName);

 private:
  // Kept as text and made symbols when asked: an illustration holds millions of names that
  // are never asked for, and interning them all would cost a probe of the pool each.
  std::string name_;
  std::string displayName_;
};

// The kernel's view of an SBOM instance; the illustration library defines the real one.
class QM_HOST_API SbomInstance : public BaseInstance {
 public:
  ~SbomInstance() override;
};

// A part instance or assembly of the world's instance tree.
class QM_HOST_API Instance : public BaseInstance {
 public:
  ~Instance() override;
  SbomInstance* GetSbomInstance() const;

  // The link does not own the SBOM instance; the SBOM tree does.
  QM_STANDIN_ONLY void SetSbomInstance(SbomInstance* sbom) { sbom_ = sbom; }

  // Prefix of the identifiers that the host gives to content symbols.
  static du::Symbol s_content_symbolPrefix;

 private:
  SbomInstance* sbom_ = nullptr;
};

// Instances by identifier.
class QM_HOST_API Tree : public du::RefCounted {
 public:
  ~Tree() override;
  du::SmartPtr<Instance> FindInstance(du::Symbol const& id) const;

  QM_STANDIN_ONLY void Add(du::Symbol const& id, du::SmartPtr<Instance> const& instance);
  // The same without interning the id, for illustrations of many instances.
  QM_STANDIN_ONLY void Add(std::string id, du::SmartPtr<Instance> const& instance);
  QM_STANDIN_ONLY void Clear();

 private:
  std::map<std::string, du::SmartPtr<Instance>> instances_;
};

class QM_HOST_API World : public du::RefCounted {
 public:
  ~World() override;
  static du::SmartPtr<World> GetWorld();
  // Empty while the world has no instance tree.
  du::SmartPtr<Tree> GetInstanceTree() const;

  QM_STANDIN_ONLY void SetInstanceTree(du::SmartPtr<Tree> tree);

 private:
  du::SmartPtr<Tree> tree_;
};

class QM_HOST_API Scene : public du::RefCounted {
 public:
  ~Scene() override;
};

// A scene that shows shapes; only such a scene can have a callouts engine.
class QM_HOST_API ShapeScene : public Scene {
 public:
  ShapeScene();
  ~ShapeScene() override;

  QM_STANDIN_ONLY void SetCalloutsEngine(du::SmartPtr<qmcallouts::Callouts> engine);
  QM_STANDIN_ONLY du::SmartPtr<qmcallouts::Callouts> const& CalloutsEngine() const {
    return engine_;
  }

 private:
  du::SmartPtr<qmcallouts::Callouts> engine_;
};

namespace mcad_selection {
QM_HOST_API extern const du::Symbol Instance;
QM_HOST_API extern const du::Symbol Assembly;
QM_HOST_API extern const du::Symbol Collection;
QM_HOST_API extern const du::Symbol Annotation;
QM_HOST_API extern const du::Symbol Face3D;
QM_HOST_API extern const du::Symbol ModelAnnotation3D;
}  // namespace mcad_selection

class Annotation;

class QM_HOST_API SelectionItem : public du::RefCounted {
 public:
  explicit SelectionItem(du::Symbol type);
  ~SelectionItem() override;
  virtual du::Symbol const& GetType() const;
  virtual std::string GetDisplayName() const;

  // What the item shows and what it designates in any scene without one of its own.
  QM_STANDIN_ONLY void SetDisplayName(std::string name) { displayName_ = std::move(name); }
  QM_STANDIN_ONLY void SetActInstance(du::SmartPtr<BaseInstance> instance) {
    actInstance_ = std::move(instance);
  }
  QM_STANDIN_ONLY void SetAnnotation(du::SmartPtr<Annotation> annotation);
  QM_STANDIN_ONLY du::SmartPtr<BaseInstance> const& ActInstance() const { return actInstance_; }
  QM_STANDIN_ONLY du::SmartPtr<Annotation> const& DesignatedAnnotation() const {
    return annotation_;
  }
  // What the item designates in one scene where that differs from the others, and the one
  // scene in which the host shows it (none: every scene); scenes are told apart by address only.
  // One scene of each is all the tests need, and an item of a million-track model stays small.
  QM_STANDIN_ONLY void SetActInstanceIn(Scene const* scene, du::SmartPtr<BaseInstance> instance) {
    actScene_ = scene;
    actInstanceInScene_ = std::move(instance);
  }
  QM_STANDIN_ONLY du::SmartPtr<BaseInstance> ActInstanceIn(Scene const* scene) const;
  QM_STANDIN_ONLY void SetShownOnlyIn(Scene const* scene) { shownOnlyIn_ = scene; }
  QM_STANDIN_ONLY bool IsShownIn(Scene const* scene) const {
    return !shownOnlyIn_ || scene == shownOnlyIn_;
  }

 private:
  du::Symbol type_;
  std::string displayName_;
  du::SmartPtr<BaseInstance> actInstance_;
  du::SmartPtr<Annotation> annotation_;
  Scene const* actScene_ = nullptr;
  du::SmartPtr<BaseInstance> actInstanceInScene_;
  Scene const* shownOnlyIn_ = nullptr;
};

// A selection item that designates a kernel object (Instance and Assembly items).
class QM_HOST_API ObjectSelectionItem : public SelectionItem {
 public:
  ObjectSelectionItem(du::Symbol type, du::SmartPtr<Object> object);
  ~ObjectSelectionItem() override;
  du::SmartPtr<Object> GetObject() const;

 private:
  du::SmartPtr<Object> object_;
};

// A selection item that designates geometry (a face, a 3D model annotation) of an object.
class QM_HOST_API GeometrySelectionItem : public SelectionItem {
 public:
  GeometrySelectionItem(du::Symbol type, du::SmartPtr<Object> parent);
  ~GeometrySelectionItem() override;
  du::SmartPtr<Object> GetParentObject() const;

 private:
  du::SmartPtr<Object> parent_;
};

// The stored form of a selection item: a representation type and text fields.
class QM_HOST_API SelectionItemRepresentation : public du::RefCounted {
 public:
  explicit SelectionItemRepresentation(du::Symbol type);
  ~SelectionItemRepresentation() override;
  du::Symbol GetRepresentationType() const;
  // Fills `text` with the field's value; leaves it alone when the field is absent.
  bool GetField(du::Symbol const& key, std::string& text) const;

  QM_STANDIN_ONLY void SetField(std::string const& key, std::string value) {
    fields_[key] = std::move(value);
  }

 private:
  du::Symbol type_;
  std::map<std::string, std::string> fields_;
};

class QM_HOST_API Annotation : public Object {
 public:
  explicit Annotation(du::Symbol annotationClass);
  ~Annotation() override;
  du::Symbol GetClass() const;

 private:
  du::Symbol class_;
};

// A user action that can be undone; a rename that carries one is the user's.
class QM_HOST_API Operation : public du::RefCounted {
 public:
  ~Operation() override;
  // The stand-in's own: the track renames done under the operation, which undo would revert.
  void AddRename() { ++renames_; }
  int Renames() const { return renames_; }

 private:
  int renames_ = 0;
};

}  // namespace qmk
