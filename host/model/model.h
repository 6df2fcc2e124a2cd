// Builds an illustration in the host stand-in: instances, SBOM instances, scenes, selection
// items, annotations and targets, owned by one Model and installed as the world's instance
// tree and the application's SBOM tree for the Model's lifetime.
#pragma once

#include <string>
#include <vector>

#include "host/animation.h"
#include "host/application.h"
#include "host/callouts.h"

namespace hostmodel {

class Model {
 public:
  Model();
  ~Model();
  Model(Model const&) = delete;
  Model& operator=(Model const&) = delete;

  du::SmartPtr<qmk::Instance> AddInstance(std::string const& id, std::string const& name,
                                          std::string const& displayName);
  du::SmartPtr<qmk::illustration::SbomInstance> AddSbom(std::string const& id,
                                                        std::string const& symbol,
                                                        std::string const& name,
                                                        std::string const& displayName);
  // Makes `sbom` the SBOM instance of `instance` and `instance` its eBOM instance.
  static void Link(du::SmartPtr<qmk::Instance> const& instance,
                   du::SmartPtr<qmk::illustration::SbomInstance> const& sbom);

  du::SmartPtr<qmk::ShapeScene> AddShapeScene(bool withCalloutsEngine = true);
  du::SmartPtr<qmk::Scene> AddPlainScene();

  du::SmartPtr<qmk::SelectionItem> AddObjectItem(du::Symbol const& type,
                                                 du::SmartPtr<qmk::Object> const& object,
                                                 std::string const& displayName);
  du::SmartPtr<qmk::SelectionItem> AddGeometryItem(du::Symbol const& type,
                                                   du::SmartPtr<qmk::Object> const& parent,
                                                   std::string const& displayName);
  du::SmartPtr<qmk::SelectionItem> AddAnnotationItem(
      du::SmartPtr<qmk::Annotation> const& annotation, std::string const& displayName);

  du::SmartPtr<qmannotations::CenterLinesAnnotation> AddCenterLine();
  du::SmartPtr<qmannotations::Callout> AddCallout(std::string const& shortDescription,
                                                  qmannotations::LabelContentList content,
                                                  std::string const& attachedSbomId);

  // Which of the names that a target's item has in the model equal `text`, in words: the
  // target's display name, and the SBOM symbol, instance name, eBOM instance name and display
  // name of the SBOM instance behind its part (the item's object, or the parent of a face,
  // whose name is compared up to "::").
  static std::vector<std::string> NamesEqualTo(du::SmartPtr<animation::Target> const& target,
                                               std::string const& text);

  static du::SmartPtr<animation::Target> MakeTarget(du::SmartPtr<qmk::SelectionItem> const& item,
                                                    du::SmartPtr<qmk::Scene> const& scene,
                                                    int kind = 2);

 private:
  template <class T>
  du::SmartPtr<T> Keep(T* object) {
    du::SmartPtr<T> held(object);
    objects_.emplace_back(held);
    return held;
  }
  du::SmartPtr<qmk::Tree> tree_;
  du::SmartPtr<qmk::illustration::SbomTree> sbomTree_;
  std::vector<du::SmartPtr<du::RefCounted>> objects_;
  std::vector<du::SmartPtr<qmannotations::Callout>> callouts_;
};

// A label-content part.
du::SmartPtr<qmannotations::LabelContent> Part(std::string group, std::string property,
                                               std::string kind, std::string relation = {},
                                               std::string text = {});
du::SmartPtr<qmannotations::LabelContent> TextPart(std::string text);

}  // namespace hostmodel
