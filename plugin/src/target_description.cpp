// The text that a track shows for its target, and the classification of a track whose name
// type is not known yet.
#include "IllustrationItemTrack.h"
#include "callout_label_text.h"
#include "center_line_resolution.h"
#include "target_lookups.h"

namespace illanimation {

namespace {
// The catalogue and id of the host's generic name for an object that it cannot name itself,
// kept as strings so that looking them up allocates nothing.
std::string const kMessageCatalogue = "qmbase:qmmodulesStrings";
std::string const kGenericNameMessage = "2045";
constexpr char kInstanceSeparator[] = "::";

// The name type that a classification sets for a name that cannot follow its target.
NameType OwnOrDefault(bool nameEqualsDisplayText) {
  return nameEqualsDisplayText ? NameType::Default : NameType::Custom;
}

// The name type of a name that was, or was not, made from the target's names.
NameType FollowsIf(bool madeFromTarget) {
  return madeFromTarget ? NameType::FromTarget : NameType::Custom;
}

bool IsCallout(qmk::Annotation const& annotation) {
  return dynamic_cast<qmannotations::Callout const*>(&annotation) != nullptr;
}
}  // namespace

du::Symbol IllustrationItemTrack::GetTargetDescription(
    du::SmartPtr<animation::Target> const& target) {
  if (!target) return du::Symbol::EMPTY;
  du::Symbol displayText(animation::engineutils::GetTargetDisplayName(target));
  if (Is(NameType::FromTarget)) RefineDisplayText(target, displayText);
  if (Is(NameType::Unresolved)) {
    ClassifyNameType(target, displayText == m_trackName);
    if (target->m_selectionItem && Is(NameType::Unresolved)) ClassifyByTarget(target, displayText);
  }
  return Is(NameType::FromTarget) ? displayText : du::Symbol::EMPTY;
}

void IllustrationItemTrack::RefineDisplayText(du::SmartPtr<animation::Target> const& target,
                                              du::Symbol& displayText) {
  bool generic;
  {
    du::Localizer const localizer(kMessageCatalogue);
    generic = displayText ==
              localizer.LocalizeMessage(kGenericNameMessage, du::Localizer::ActionOnFailure(0));
  }
  if (generic) {
    displayText = ResolveCenterLineTarget(target, false);
    return;
  }
  du::SmartPtr<qmk::SelectionItem> const& item = target->m_selectionItem;
  if (!item || item->GetType() != qmk::mcad_selection::Annotation) return;
  du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
  if (!annotation || annotation->GetClass() != qmannotations::ConstStrings::qmCalloutLabel) return;
  // An annotation of the callout-label class that is not a callout keeps the host's name.
  if (du::SmartPtr<qmannotations::Callout> callout =
          annotation.DynamicCast<qmannotations::Callout>())
    displayText = GetCalloutLabelText(callout, target->m_scene.get());
}

void IllustrationItemTrack::ClassifyNameType(du::SmartPtr<animation::Target> const& target,
                                             bool nameEqualsDisplayText) {
  bool const e = nameEqualsDisplayText;
  if (target->m_kind != animation::Target::kSelectionItemTarget) {
    SetNameType(OwnOrDefault(e));
    return;
  }
  du::SmartPtr<qmk::SelectionItem> item = target->m_selectionItem;
  if (!item) return;
  du::Symbol const type = item->GetType();
  if (IsInstanceType(type) || IsGeometryType(type)) {
    SetNameType(e ? NameType::FromTarget : NameType::Unresolved);
    return;
  }
  if (type != qmk::mcad_selection::Annotation) {
    SetNameType(OwnOrDefault(e));
    return;
  }
  // A track outside any parent track is classified like one under an ordinary parent.
  du::SmartPtr<animation::TrackData> parent = GetParent();
  if (parent && parent->GetTrackType() == animation::TT_AnnotationFolder) {
    SetNameType(OwnOrDefault(e));
    return;
  }
  du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
  if (!annotation) return;
  du::Symbol const annotationClass = annotation->GetClass();
  if (annotationClass == qmannotations::ConstStrings::qmCenterLine) {
    SetNameType(e ? NameType::FromTarget : NameType::Unresolved);
  } else if (annotationClass != qmannotations::ConstStrings::qmCalloutLabel ||
             !IsCallout(*annotation)) {
    // Any other class, and a callout-label annotation whose label cannot be read, cannot be
    // followed: the name is the track's own or the target's default.
    SetNameType(OwnOrDefault(e));
  }
}

void IllustrationItemTrack::ClassifyByTarget(du::SmartPtr<animation::Target> const& target,
                                             du::Symbol& displayText) {
  du::SmartPtr<qmk::SelectionItem> item = target->m_selectionItem;
  du::Symbol const type = item->GetType();
  if (IsInstanceType(type)) {
    if (du::SmartPtr<qmk::BaseInstance> instance =
            animation::engineutils::GetActInstance(item, target->m_scene))
      SetNameType(FollowsIf(MatchesInstanceName(instance, m_trackName)));
  } else if (type == qmk::mcad_selection::Annotation) {
    ClassifyByAnnotation(target, displayText);
  } else if (IsGeometryType(type)) {
    ClassifyByGeometryParent(*item);
  }
}

void IllustrationItemTrack::ClassifyByAnnotation(du::SmartPtr<animation::Target> const& target,
                                                 du::Symbol& displayText) {
  du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
  if (!annotation) return;
  du::Symbol const annotationClass = annotation->GetClass();
  if (annotationClass == qmannotations::ConstStrings::qmCenterLine) {
    displayText = ResolveCenterLineTarget(target, true);
  } else if (annotationClass == qmannotations::ConstStrings::qmCalloutLabel) {
    // ClassifyNameType has settled an annotation of this class that is not a callout.
    du::SmartPtr<qmannotations::Callout> callout(
        static_cast<qmannotations::Callout*>(annotation.get()));
    displayText = GetCalloutLabelText(callout, target->m_scene.get());
    ClassifyCalloutLabelName(callout, displayText);
  }
}

void IllustrationItemTrack::ClassifyByGeometryParent(qmk::SelectionItem const& item) {
  auto const* geometry = dynamic_cast<qmk::GeometrySelectionItem const*>(&item);
  if (!geometry) return;
  du::SmartPtr<qmk::BaseInstance> parent =
      geometry->GetParentObject().DynamicCast<qmk::BaseInstance>();
  if (!parent) return;
  std::size_t const end = m_trackName.find(kInstanceSeparator);
  SetNameType(FollowsIf(end != std::string::npos &&
                        MatchesInstanceName(parent, m_trackName.substr(0, end))));
}

}  // namespace illanimation
