// A track's name taken from its target: deciding whether it follows the target, refreshing
// it, and handing the name type on to a piece cut off the track.
#include "IllustrationItemTrack.h"
#include "target_lookups.h"

namespace illanimation {

namespace {
// Whether a track's name can follow this target: an instance that the scene shows, a centre
// line or callout label, a face or a 3D model annotation.
bool NameCanFollow(du::SmartPtr<animation::Target> const& target) {
  du::Symbol const type = target->m_selectionItem->GetType();
  if (IsInstanceType(type))
    return static_cast<bool>(
        animation::engineutils::GetActInstance(target->m_selectionItem, target->m_scene));
  if (type == qmk::mcad_selection::Annotation) {
    du::SmartPtr<qmk::Annotation> annotation = AnnotationOf(target);
    if (!annotation) return false;
    du::Symbol const annotationClass = annotation->GetClass();
    return annotationClass == qmannotations::ConstStrings::qmCenterLine ||
           annotationClass == qmannotations::ConstStrings::qmCalloutLabel;
  }
  return IsGeometryType(type);
}
}  // namespace

void IllustrationItemTrack::InitDisplayName(du::SmartPtr<animation::Target> const& target) {
  SetNameType(NameType::Default);
  if (!target || target->m_kind != animation::Target::kSelectionItemTarget ||
      !target->m_selectionItem || !NameCanFollow(target))
    return;
  SetNameType(NameType::FromTarget);
  m_displayName = animation::engineutils::GetTargetDisplayName(target);
}

void IllustrationItemTrack::UpdateDisplayName(du::SmartPtr<qmk::Scene> const& scene) {
  if (IsLocked() || !Is(NameType::FromTarget)) return;
  du::SmartPtr<qmk::SelectionItem> item = m_selectionItem;
  if (!item) return;
  m_displayName = item->GetDisplayName();
  // Geometry names itself completely; the host's refresh is for the other items.
  if (auto const* geometry = dynamic_cast<qmk::GeometrySelectionItem const*>(item.get())) {
    m_displayName = geometry->GetDisplayName();
    return;
  }
  m_useDisplayName = true;
  animation::ItemTrackData::UpdateDisplayName(scene);
}

du::SmartPtr<animation::TrackData> IllustrationItemTrack::CutTrackInRange(
    long long start, long long end, animation::EffectsSplitMapper& mapper,
    du::SmartPtr<qmk::Operation> const& operation) {
  du::SmartPtr<IllustrationItemTrack> piece =
      animation::ItemTrackData::CutTrackInRange(start, end, mapper, operation)
          .DynamicCast<IllustrationItemTrack>();
  if (piece) piece->nameType_ = nameType_;
  return piece;
}

}  // namespace illanimation
