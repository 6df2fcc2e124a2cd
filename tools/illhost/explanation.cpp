#include "host/annotations.h"
#include "host/illustration.h"
#include "name_types.h"
#include "output.h"
#include "quoting.h"

namespace illhost {
namespace {

using du::SmartPtr;
using TargetPtr = SmartPtr<animation::Target>;

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

// The track that a copy, cut or CopyFrom step was given: its argument, or the cut's first.
std::string Source(StepRecord const& step) {
  Scalar const& id =
      step.argument.object ? step.argument.object->front().second : step.argument.value;
  return QuoteInput(std::get<std::string>(id));
}

// How the deciding step set the name type, after "STEP set the name type to TYPE".
std::string How(StepRecord const& deciding, StepRecord const* describing, TrackSpec const& spec) {
  Step const* step = deciding.step;
  if (step == &steps::kInitDisplayName) return " for a new track on " + TargetPhrase(spec.target);
  if (step == &steps::kRename)
    return " with the name " + QuoteInput(spec.rename->name) + " and an operation (the user's)";
  if (step == &steps::kLoad) return " from the file's stored properties";
  if (step == &steps::kCopy) return ", taken from " + Source(deciding) + " by the copy hook";
  if (step == &steps::kCopyFrom) return ", taken from " + Source(deciding);
  if (step == &steps::kCut)
    return ": the piece cut from " + Source(deciding) + " keeps its name type";
  return describing && &deciding != describing ? ", and GetTargetDescription left it so" : "";
}

}  // namespace

std::string ExplainNameType(TrackSpec const& spec, TrackResult const& result,
                            std::vector<StepRecord> const& steps) {
  if (result.none)
    return (spec.made == Made::Cut ? "the cut of " + Source(steps.front()) + " gave no piece"
                                   : Source(steps.front()) + " has no track to copy") +
           ", so the track has none.";
  if (!result.nameType) return kNoNameType + std::string(".");
  NameType const* row = FindNameType(result.nameType);
  std::string const ending = std::string("it is ") + (row ? row->meaning : kOtherNameType) + ".";
  // The step after which the name type no longer changed, and the description.
  StepRecord const* deciding = nullptr;
  StepRecord const* describing = nullptr;
  for (auto const& step : steps) {
    if (step.nameTypeAfter != step.nameTypeBefore) deciding = &step;
    if (step.step == &steps::kGetTargetDescription) describing = &step;
  }
  if (!deciding) return "no step set the name type: " + ending;
  std::string why = std::string(deciding->step->name) + " set the name type to " +
                    NameTypeLabel(deciding->nameTypeAfter) + How(*deciding, describing, spec);
  if (describing && (deciding == describing || result.nameType == kUnresolved.value))
    why += "; " + NameFacts(spec.target, result.trackName);
  if (spec.rename && deciding->step != &steps::kRename)
    why += "; the rename to " + QuoteInput(spec.rename->name) +
           (spec.rename->byUser ? "" : " without an operation") + " left it unchanged";
  return why + ": " + ending;
}

}  // namespace illhost
