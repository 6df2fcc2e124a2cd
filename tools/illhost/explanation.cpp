#include "host/annotations.h"
#include "host/illustration.h"
#include "name_types.h"
#include "output.h"
#include "quoting.h"

namespace illhost {
namespace {

using du::SmartPtr;
using TargetPtr = SmartPtr<animation::Target>;

// The target in a few words.
std::string TargetPhrase(TargetPtr const& target) {
  namespace selection = qmk::mcad_selection;
  if (!target) return "no target";
  if (target->m_kind != animation::Target::kSelectionItemTarget)
    return "a target of kind " + std::to_string(target->m_kind) + ", not a selection item";
  SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  if (!item) return "a target without a selection item";
  du::Symbol const type = item->GetType();
  if (type == selection::Instance || type == selection::Assembly || type == selection::Face3D)
    return (type == selection::Instance   ? "the part "
            : type == selection::Assembly ? "the assembly "
                                          : "the face ") +
           QuoteInput(item->GetDisplayName());
  if (type == selection::ModelAnnotation3D) return "a 3D model annotation";
  if (type != selection::Annotation) return "a " + QuoteInput(type.str()) + " item";
  SmartPtr<qmk::Annotation> annotation;
  animation::engineutils::GetAnnotationFromTarget(annotation, target);
  if (!annotation) return "an annotation item whose annotation cannot be found";
  du::Symbol const cls = annotation->GetClass();
  if (cls == qmannotations::ConstStrings::qmCenterLine) return "a centre line";
  if (cls == qmannotations::ConstStrings::qmCalloutLabel) return "a callout label";
  return "an annotation of class " + QuoteInput(cls.str());
}

// What the stand-in's model says of the name that the description compared: which of the
// target's names it equals.
std::string NameFacts(TargetPtr const& target, std::string const& name) {
  std::string facts = "the stored name " + QuoteInput(name);
  std::vector<std::string> const names = hostmodel::Model::NamesEqualTo(target, name);
  if (names.empty()) return facts + " equals no name of " + TargetPhrase(target) + " in the model";
  for (std::size_t i = 0; i < names.size(); ++i)
    facts += (i == 0 ? " equals " : i + 1 < names.size() ? ", " : " and ") + names[i];
  return facts;
}

}  // namespace

std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps) {
  if (!result.nameType) return kNoNameType + std::string(".");
  NameType const* row = FindNameType(result.nameType);
  std::string const ending = std::string("it is ") + (row ? row->meaning : kOtherNameType) + ".";
  // The step after which the name type no longer changed, and the description.
  StepRecord const* deciding = nullptr;
  StepRecord const* describing = nullptr;
  for (auto const& step : steps) {
    if (step.nameTypeAfter != step.nameTypeBefore) deciding = &step;
    if (step.step == "GetTargetDescription") describing = &step;
  }
  if (!deciding) return "no step set the name type: " + ending;
  std::string why =
      deciding->step + " set the name type to " + NameTypeLabel(deciding->nameTypeAfter);
  if (deciding->step == "InitDisplayName") {
    why += " for a new track on " + TargetPhrase(spec.target);
  } else if (deciding->step == "rename") {
    why += " with the name " + QuoteInput(spec.rename->name) + " and an operation (the user's)";
  } else if (deciding->step == "Load") {
    why += " from the file's stored properties";
  } else if (describing && deciding != describing) {
    why += ", and GetTargetDescription left it so";
  }
  if (describing && (deciding == describing || result.nameType == kUnresolved.value))
    why += "; " + NameFacts(spec.target, result.trackName);
  if (spec.rename && deciding->step != "rename")
    why += "; the rename to " + QuoteInput(spec.rename->name) +
           (spec.rename->byUser ? "" : " without an operation") + " left it unchanged";
  return why + ": " + ending;
}

}  // namespace illhost
