// The selection item that stands for a track's item: an SBOM instance's own item in place of
// the engineering instance that it stands for.
#include "IllustrationItemTrack.h"
#include "target_lookups.h"

namespace illanimation {

du::SmartPtr<qmk::SelectionItem> IllustrationItemTrack::GetSelectionItem() {
  du::SmartPtr<qmk::SelectionItem> result = m_selectionItem;
  if (!result || !IsInstanceType(result->GetType())) return result;
  // Instance and Assembly items designate objects; anything else the host hands over is kept.
  du::SmartPtr<qmk::ObjectSelectionItem> objectItem =
      result.DynamicCast<qmk::ObjectSelectionItem>();
  if (!objectItem) return result;
  du::SmartPtr<qmk::Instance> instance = objectItem->GetObject().DynamicCast<qmk::Instance>();
  if (!instance) return result;
  du::SmartPtr<qmk::illustration::SbomInstance> sbom(
      dynamic_cast<qmk::illustration::SbomInstance*>(instance->GetSbomInstance()));
  if (!sbom) return result;
  // A new selection item, or none when the host cannot make one.
  return qmk::illustration::SbomInstanceSelectionItem::Create(sbom, false);
}

}  // namespace illanimation
