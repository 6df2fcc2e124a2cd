#include "host/animation.h"

#include "seam_hooks.h"

namespace animation {

Target::~Target() = default;

void PropertyWriter::SetInt(du::Symbol const& key, std::int64_t value) {
  QM_HOST_CALL("animation::PropertyWriter::SetInt");
  entries_.emplace_back(key, value);
}

std::int64_t PropertyReader::FindKey(du::Symbol const& key) const {
  QM_HOST_CALL("animation::PropertyReader::FindKey");
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].first == key) return static_cast<std::int64_t>(i);
  return -1;
}

std::int64_t PropertyReader::GetInt(std::int64_t index) const {
  QM_HOST_CALL("animation::PropertyReader::GetInt");
  if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return 0;
  return entries_[static_cast<std::size_t>(index)].second;
}

Timeline::~Timeline() { Clear(); }
bool Timeline::IsSaveSuppressed() const {
  QM_HOST_CALL("animation::Timeline::IsSaveSuppressed");
  return saveSuppressed_;
}
void Timeline::AddTrack(du::SmartPtr<TrackData> const& track) {
  if (!track) return;
  track->SetTimeline(this);
  tracks_.push_back(track);
}
void Timeline::Clear() {
  for (auto const& track : tracks_) track->SetTimeline(nullptr);
  tracks_.clear();
}

AnimationObject::~AnimationObject() = default;

TrackData::TrackData() = default;
TrackData::TrackData(TrackData const& other)
    : AnimationObject(other),
      m_trackName(other.m_trackName),
      type_(other.type_),
      locked_(other.locked_) {}
TrackData::~TrackData() = default;

bool TrackData::GetTooltip(std::string& tooltip) const {
  tooltip = m_trackName;
  return !tooltip.empty();
}
std::string TrackData::GetTrackName() { return m_trackName; }
void TrackData::SetTrackName(std::string const& name,
                             du::SmartPtr<qmk::Operation> const& operation) {
  QM_HOST_CALL("animation::TrackData::SetTrackName");
  m_trackName = name;
  if (operation) operation->AddRename();
}
bool TrackData::Accept(TrackDataVisitor&) { return false; }
void TrackData::OnAdded(ContainerTrackData const*) {}
void TrackData::OnRemoved(ContainerTrackData const*, du::SmartPtr<qmk::Operation> const&) {}
bool TrackData::IsLocked() const {
  QM_HOST_CALL("animation::TrackData::IsLocked");
  return locked_;
}
void TrackData::SetLocked(bool locked, bool, du::SmartPtr<qmk::Operation> const&) {
  locked_ = locked;
}
float TrackData::GetMixedLockState(unsigned int& locked, unsigned int& total) const {
  locked = locked_ ? 1 : 0;
  total = 1;
  return static_cast<float>(locked);
}
void TrackData::InvalidateMixedLockState() {}
bool TrackData::FindTrack(std::string const& name, TrackData** found) {
  if (name != m_trackName) return false;
  if (found) *found = this;
  return true;
}
bool TrackData::Mirror(long long, long long, du::SmartPtr<qmk::Operation> const&) { return false; }
bool TrackData::Mirror(du::SmartPtr<qmk::Operation> const& operation) {
  return Mirror(0, 0, operation);
}
bool TrackData::Flip(long long, long long, du::SmartPtr<qmk::Operation> const&) { return false; }
bool TrackData::Flip(du::SmartPtr<qmk::Operation> const& operation) {
  return Flip(0, 0, operation);
}
bool TrackData::IsExternTrack() const { return false; }
bool TrackData::IsVisible() const { return true; }
du::SmartPtr<TrackData> TrackData::CutTrackInRange(long long, long long, EffectsSplitMapper&,
                                                   du::SmartPtr<qmk::Operation> const&) {
  return {};
}
bool TrackData::IncludeConflictsInSegment() { return false; }
bool TrackData::Remove(long long, long long, du::SmartPtr<qmk::Operation> const&) { return false; }
void TrackData::InvalidateDescendantSegments() {}
void TrackData::PostTrackChangedNotification(TrackChangeType, TrackData*, TrackData*) {}
void TrackData::PostKeyChangedNotification(TrackChangeType, TrackData*, KeyframeData*) {}
bool TrackData::UpdateSegments() { return false; }
bool TrackData::Move(long long, long long, long long, long long, MoveType,
                     du::SmartPtr<qmk::Operation> const&) {
  return false;
}

du::SmartPtr<Timeline> TrackData::GetTimeline() const {
  QM_HOST_CALL("animation::TrackData::GetTimeline");
  return du::SmartPtr<Timeline>(timeline_);
}
du::SmartPtr<TrackData> TrackData::GetParent() const {
  QM_HOST_CALL("animation::TrackData::GetParent");
  return du::SmartPtr<TrackData>(parent_);
}
TrackType TrackData::GetTrackType() const {
  QM_HOST_CALL("animation::TrackData::GetTrackType");
  return type_;
}

ContainerTrackData::ContainerTrackData(TrackType type) { SetTrackType(type); }
ContainerTrackData::ContainerTrackData(ContainerTrackData const& other) : TrackData(other) {}
ContainerTrackData::~ContainerTrackData() { ClearChildren(); }
void ContainerTrackData::OnAdded(ContainerTrackData const*) {}
void ContainerTrackData::SetLocked(bool locked, bool recursive,
                                   du::SmartPtr<qmk::Operation> const& operation) {
  TrackData::SetLocked(locked, recursive, operation);
  if (recursive)
    for (auto const& child : children_) child->SetLocked(locked, recursive, operation);
}
float ContainerTrackData::GetMixedLockState(unsigned int& locked, unsigned int& total) const {
  return TrackData::GetMixedLockState(locked, total);
}
void ContainerTrackData::InvalidateMixedLockState() {}
bool ContainerTrackData::FindTrack(std::string const& name, TrackData** found) {
  if (TrackData::FindTrack(name, found)) return true;
  for (auto const& child : children_)
    if (child->FindTrack(name, found)) return true;
  return false;
}
bool ContainerTrackData::Remove(long long, long long, du::SmartPtr<qmk::Operation> const&) {
  return false;
}
void ContainerTrackData::InvalidateDescendantSegments() {}
bool ContainerTrackData::Move(long long, long long, long long, long long, MoveType,
                              du::SmartPtr<qmk::Operation> const&) {
  return false;
}
void ContainerTrackData::AddChild(du::SmartPtr<TrackData> const& child) {
  if (!child) return;
  child->SetParent(this);
  children_.push_back(child);
}
void ContainerTrackData::ClearChildren() {
  for (auto const& child : children_) child->SetParent(nullptr);
  children_.clear();
}

ItemTrackData::ItemTrackData() : ContainerTrackData(TT_Item) {}
ItemTrackData::ItemTrackData(du::SmartPtr<ItemTrackData> const& source)
    : ContainerTrackData(TT_Item) {
  QM_HOST_CALL("animation::ItemTrackData::ItemTrackData(source)");
  if (!source) return;
  m_trackName = source->m_trackName;
  m_displayName = source->m_displayName;
  m_useDisplayName = source->m_useDisplayName;
  m_selectionItem = source->m_selectionItem;
  SetLockedState(source->IsLocked());
}
ItemTrackData::~ItemTrackData() = default;
bool ItemTrackData::Accept(TrackDataVisitor&) { return false; }
void ItemTrackData::OnRemoved(ContainerTrackData const*, du::SmartPtr<qmk::Operation> const&) {}
bool ItemTrackData::UpdateSegments() { return false; }

du::SmartPtr<TrackData> ItemTrackData::CutTrackInRange(
    long long start, long long end, EffectsSplitMapper& mapper,
    du::SmartPtr<qmk::Operation> const& operation) {
  QM_HOST_CALL("animation::ItemTrackData::CutTrackInRange");
  mapper.RecordCut({start, end, operation.get()});
  // The piece after `start` becomes a new track, made the way the host makes tracks, that takes
  // over this track's base state. A plug-in's own state is the plug-in's to hand on: a new
  // track of the module starts unresolved, whatever this track's name type is.
  if (start >= end || !ItemTrackCreator::CreateItemTrackDataImpl) return {};
  du::SmartPtr<ItemTrackData> piece = ItemTrackCreator::CreateItemTrackDataImpl();
  if (!piece) return {};
  piece->m_trackName = m_trackName;
  piece->m_displayName = m_displayName;
  piece->m_useDisplayName = m_useDisplayName;
  piece->m_selectionItem = m_selectionItem;
  piece->SetLockedState(IsLocked());
  return piece;
}

void ItemTrackData::UpdateDisplayName(du::SmartPtr<qmk::Scene> const& scene) {
  QM_HOST_CALL("animation::ItemTrackData::UpdateDisplayName");
  // The host shows the display name only once it has been told that the track has one, and
  // only for an item shown in the scene that it refreshes.
  if (m_useDisplayName && m_trackName.empty() &&
      (!m_selectionItem || m_selectionItem->IsShownIn(scene.get())))
    m_trackName = m_displayName;
}
// The base implementations below pass through QM_HOST_CALL like every host call, so that a
// module that calls one where it must not shows in the recorded calls and the fault sweep.
du::SmartPtr<qmk::SelectionItem> ItemTrackData::GetSelectionItem() {
  QM_HOST_CALL("animation::ItemTrackData::GetSelectionItem");
  return m_selectionItem;
}
bool ItemTrackData::UsesTargetName() { return false; }
void ItemTrackData::InitDisplayName(du::SmartPtr<Target> const& target) {
  QM_HOST_CALL("animation::ItemTrackData::InitDisplayName");
  m_displayName = engineutils::GetTargetDisplayName(target);
}
void ItemTrackData::CopyFrom(du::SmartPtr<ItemTrackData> const& other) {
  QM_HOST_CALL("animation::ItemTrackData::CopyFrom");
  if (other && other.get() != this) m_displayName = other->m_displayName;
}
void ItemTrackData::Save(PropertyWriter&) { QM_HOST_CALL("animation::ItemTrackData::Save"); }
void ItemTrackData::Load(PropertyReader&) { QM_HOST_CALL("animation::ItemTrackData::Load"); }
du::Symbol ItemTrackData::GetTargetDescription(du::SmartPtr<Target> const&) {
  return du::Symbol::EMPTY;
}

BasicItemTrackData::BasicItemTrackData() = default;
BasicItemTrackData::BasicItemTrackData(du::SmartPtr<ItemTrackData> const& source)
    : ItemTrackData(source) {}
BasicItemTrackData::~BasicItemTrackData() = default;

ItemTrackCreator::CreateFunction ItemTrackCreator::CreateItemTrackDataImpl = [] {
  return du::SmartPtr<ItemTrackData>(new BasicItemTrackData);
};
ItemTrackCreator::CopyFunction ItemTrackCreator::CopyItemTrackDataImpl =
    [](du::SmartPtr<ItemTrackData> const& source) {
      return du::SmartPtr<ItemTrackData>(new BasicItemTrackData(source));
    };

EffectsSplitMapper::~EffectsSplitMapper() = default;

namespace engineutils {

std::string GetTargetDisplayName(du::SmartPtr<Target> const& target) {
  QM_HOST_CALL("animation::engineutils::GetTargetDisplayName");
  if (!target) return {};
  if (target->m_displayName) return *target->m_displayName;
  return target->m_selectionItem ? target->m_selectionItem->GetDisplayName() : std::string();
}

bool GetAnnotationFromTarget(du::SmartPtr<qmk::Annotation>& annotation,
                             du::SmartPtr<Target> const& target) {
  QM_HOST_CALL("animation::engineutils::GetAnnotationFromTarget");
  if (target && target->m_selectionItem)
    annotation = target->m_selectionItem->DesignatedAnnotation();
  // The answer is not whether the pointer was filled, so that a caller who reads it instead
  // goes wrong: it tells whether the target's scene shows shapes.
  return target && dynamic_cast<qmk::ShapeScene const*>(target->m_scene.get()) != nullptr;
}

du::SmartPtr<qmk::BaseInstance> GetActInstance(du::SmartPtr<qmk::SelectionItem> const& item,
                                               du::SmartPtr<qmk::Scene> scene) {
  QM_HOST_CALL("animation::engineutils::GetActInstance");
  return item ? item->ActInstanceIn(scene.get()) : du::SmartPtr<qmk::BaseInstance>();
}

}  // namespace engineutils
}  // namespace animation
