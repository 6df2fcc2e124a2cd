#include "explanation.h"

#include "host/annotations.h"
#include "host/illustration.h"
#include "name_types.h"
#include "quoting.h"

namespace illhost {
namespace {

using du::SmartPtr;
using TargetPtr = SmartPtr<animation::Target>;

bool IsInstanceItem(du::Symbol const& type) {
  return type == qmk::mcad_selection::Instance || type == qmk::mcad_selection::Assembly;
}

SmartPtr<qmk::Annotation> AnnotationOf(TargetPtr const& target) {
  SmartPtr<qmk::Annotation> annotation;
  animation::engineutils::GetAnnotationFromTarget(annotation, target);
  return annotation;
}

std::string Ending(std::int64_t type) {
  switch (type) {
    case 0:
      return "it is the track's own name";
    case 1:
      return "it follows its target";
    case 2:
      return "it stays the target's default name";
    case 3:
      return "it stays unresolved, and the next description tries again";
    default:
      return "it is none of the four name types and is kept as stored";
  }
}

// The target in a few words.
std::string TargetPhrase(TargetPtr const& target) {
  if (!target) return "no target";
  if (target->m_kind != animation::Target::kSelectionItemTarget)
    return "a target of kind " + std::to_string(target->m_kind) + ", not a selection item";
  SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  if (!item) return "a target without a selection item";
  du::Symbol const type = item->GetType();
  if (IsInstanceItem(type)) {
    std::string const what = type == qmk::mcad_selection::Instance ? "the part " : "the assembly ";
    return what + QuoteInput(item->GetDisplayName());
  }
  if (type == qmk::mcad_selection::Face3D) return "the face " + QuoteInput(item->GetDisplayName());
  if (type == qmk::mcad_selection::ModelAnnotation3D) return "a 3D model annotation";
  if (type == qmk::mcad_selection::Annotation) {
    SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
    if (!annotation) return "an annotation item whose annotation cannot be found";
    du::Symbol const cls = annotation->GetClass();
    if (cls == qmannotations::ConstStrings::qmCenterLine) return "a centre line";
    if (cls == qmannotations::ConstStrings::qmCalloutLabel) return "a callout label";
    return "an annotation of class " + QuoteInput(cls.str());
  }
  return "a " + QuoteInput(type.str()) + " item";
}

// Why a new track's name cannot follow its target.
std::string WhyNotFollowable(TargetPtr const& target) {
  if (!target) return "a track without a target has no name to follow";
  if (target->m_kind != animation::Target::kSelectionItemTarget || !target->m_selectionItem)
    return "only a selection item names a target that a track can follow";
  SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  if (IsInstanceItem(item->GetType()))
    return "the scene does not show the part, so there is no instance whose name to follow";
  if (item->GetType() == qmk::mcad_selection::Annotation)
    return "of the annotations only centre lines and callout labels have names to follow";
  return "the name of " + TargetPhrase(target) + " cannot be followed";
}

// Which name of an instance `text` equals, checked in the order that decides it.
std::string WhichName(SmartPtr<qmk::BaseInstance> const& instance, std::string const& text) {
  auto* sbom = dynamic_cast<qmk::illustration::SbomInstance*>(instance.get());
  std::string behind = "of the SBOM instance";
  if (!sbom) {
    auto const* part = dynamic_cast<qmk::Instance const*>(instance.get());
    if (part) sbom = dynamic_cast<qmk::illustration::SbomInstance*>(part->GetSbomInstance());
    behind += " behind the part";
  }
  if (!sbom) return "";
  if (text == sbom->m_name.str()) return "the SBOM symbol " + behind;
  du::Symbol name;
  sbom->GetInstanceName(name);
  if (text == name.str()) return "the instance name " + behind;
  if (SmartPtr<qmk::Instance> ebom = sbom->GetEbomInstance()) {
    ebom->GetInstanceName(name);
    if (text == name.str()) return "the eBOM instance name " + behind;
  }
  sbom->GetInstanceDisplayName(name);
  if (text == name.str()) return "the display name " + behind;
  return "";
}

// What the stored name matched when the description found that it follows its target.
std::string WhatMatched(TargetPtr const& target, std::string const& name) {
  std::string const quoted = "the stored name " + QuoteInput(name);
  if (name == animation::engineutils::GetTargetDisplayName(target))
    return quoted + " equals the target's display name";
  SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  du::Symbol const type = item->GetType();
  if (IsInstanceItem(type)) {
    std::string const which =
        WhichName(animation::engineutils::GetActInstance(item, target->m_scene), name);
    if (!which.empty()) return quoted + " equals " + which;
  }
  if (auto const* geometry = dynamic_cast<qmk::GeometrySelectionItem const*>(item.get())) {
    std::string const part = name.substr(0, name.find("::"));
    std::string const which =
        WhichName(geometry->GetParentObject().DynamicCast<qmk::BaseInstance>(), part);
    if (!which.empty())
      return "the part of the stored name before \"::\" equals " + which + " that owns the face";
  }
  if (SmartPtr<qmk::Annotation> annotation = AnnotationOf(target)) {
    if (annotation->GetClass() == qmannotations::ConstStrings::qmCenterLine)
      return quoted + " equals a name of the instance that the centre line is attached to";
    return quoted + " is the callout's label, or its first word followed by the SBOM names " +
           "that the label shows";
  }
  return quoted + " was made from " + TargetPhrase(target);
}

// Why the description could not settle a track's name type.
std::string WhyUnresolved(TargetPtr const& target) {
  if (!target) return "the track has no target to compare its stored name with";
  if (!target->m_selectionItem) return "the target has no selection item to compare with";
  du::Symbol const type = target->m_selectionItem->GetType();
  if (IsInstanceItem(type))
    return "the stored name is not the target's display name and the scene does not show the "
           "part, so its other names cannot be compared";
  if (type == qmk::mcad_selection::Annotation) {
    SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
    if (!annotation) return "the annotation of the target cannot be found";
    if (annotation->GetClass() == qmannotations::ConstStrings::qmCenterLine)
      return "the centre line is attached to no instance that can be found";
    return "the SBOM instance that the callout is attached to cannot be found";
  }
  return "nothing about " + TargetPhrase(target) + " settles whether the name follows it";
}

// The step after which the name type no longer changed.
StepRecord const* DecidingStep(std::vector<StepRecord> const& steps) {
  StepRecord const* deciding = nullptr;
  for (auto const& step : steps)
    if (step.nameTypeAfter != step.nameTypeBefore) deciding = &step;
  return deciding;
}

std::string Classified(TargetPtr const& target, std::string const& name, std::int64_t type) {
  switch (type) {
    case 1:
      return WhatMatched(target, name);
    case 0:
      return "the stored name " + QuoteInput(name) + " matches no name of " + TargetPhrase(target);
    case 2:
      return "the stored name " + QuoteInput(name) + " is what " + TargetPhrase(target) +
             " is called, but that name cannot be followed";
    default:
      return "the description gave the name type " + NameTypeLabel(type);
  }
}

}  // namespace

std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps) {
  if (!result.nameType) return "the track saves no name type at all.";
  std::int64_t const type = *result.nameType;
  StepRecord const* deciding = DecidingStep(steps);
  std::string const step = deciding ? deciding->step : "";
  std::string why;
  if (type == 3) {
    why =
        (spec.stored ? std::string("the stored track is not classified yet and ") : std::string()) +
        WhyUnresolved(spec.target);
  } else if (step == "InitDisplayName") {
    why = type == 1 ? "a new track on " + TargetPhrase(spec.target) + " takes the target's name"
                    : "a new track starts with the target's name as a default, but " +
                          WhyNotFollowable(spec.target);
  } else if (step == "rename") {
    why = "the user renamed the track to " + QuoteInput(spec.rename->name) +
          " (a rename with an operation)";
  } else if (step == "Load") {
    why = "the file stored the name type " + std::to_string(type) +
          " and nothing in this run changed it";
  } else if (step == "GetTargetDescription") {
    why = Classified(spec.target, result.trackName, type);
  } else {
    why = "the name type " + NameTypeLabel(type) + " was set when the track was made";
  }
  if (spec.rename && !spec.rename->byUser && type == 1)
    why += "; the rename to " + QuoteInput(spec.rename->name) +
           " came without an operation, so it did not make the name the track's own";
  return why + ": " + Ending(type) + ".";
}

}  // namespace illhost
