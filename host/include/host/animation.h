// Host animation library: tracks, targets, timelines, item-track factories and target utilities.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/kernel.h"

namespace animation {

class ContainerTrackData;
class ItemTrackData;
class TrackData;
class TrackDataVisitor;
class EffectsSplitMapper;
class KeyframeData;
class Timeline;
enum class TrackChangeType : int { Added = 0, Removed = 1, Changed = 2 };
enum class MoveType : int { Shift = 0, Stretch = 1 };
enum TrackType : int { TT_Root = 0, TT_Folder = 1, TT_AnnotationFolder = 2, TT_Item = 3 };

// What a track animates. Kind 2 is a selection-item target.
class QM_HOST_API Target : public du::RefCounted {
 public:
  static constexpr int kSelectionItemTarget = 2;
  ~Target() override;

  int m_kind = kSelectionItemTarget;
  du::SmartPtr<qmk::Scene> m_scene;
  du::SmartPtr<qmk::SelectionItem> m_selectionItem;
  // The text that the host shows for the target, when it names it itself.
  QM_STANDIN_ONLY std::optional<std::string> m_displayName;
};

class QM_HOST_API PropertyWriter {
 public:
  void SetInt(du::Symbol const& key, std::int64_t value);
  QM_STANDIN_ONLY std::vector<std::pair<du::Symbol, std::int64_t>> const& Entries() const {
    return entries_;
  }

 private:
  std::vector<std::pair<du::Symbol, std::int64_t>> entries_;
};

class QM_HOST_API PropertyReader {
 public:
  PropertyReader() = default;
  QM_STANDIN_ONLY explicit PropertyReader(std::vector<std::pair<du::Symbol, std::int64_t>> entries)
      : entries_(std::move(entries)) {}
  // Index of the key, -1 when it is absent.
  std::int64_t FindKey(du::Symbol const& key) const;
  std::int64_t GetInt(std::int64_t index) const;

 private:
  std::vector<std::pair<du::Symbol, std::int64_t>> entries_;
};

class QM_HOST_API Timeline : public du::RefCounted {
 public:
  ~Timeline() override;
  bool IsSaveSuppressed() const;

  QM_STANDIN_ONLY void SetSaveSuppressed(bool suppressed) { saveSuppressed_ = suppressed; }
  QM_STANDIN_ONLY void AddTrack(du::SmartPtr<TrackData> const& track);
  QM_STANDIN_ONLY void Clear();

 private:
  bool saveSuppressed_ = false;
  std::vector<du::SmartPtr<TrackData>> tracks_;
};

class QM_HOST_API AnimationObject : public du::RefCounted {
 public:
  ~AnimationObject() override;
};

// The virtual operations below are declared in the order of the host's track interface;
// that order is the host's binary interface and must not change.
class QM_HOST_API TrackData : public AnimationObject {
 public:
  ~TrackData() override;
  virtual bool GetTooltip(std::string& tooltip) const;
  virtual std::string GetTrackName();
  virtual void SetTrackName(std::string const& name, du::SmartPtr<qmk::Operation> const& operation);
  virtual bool Accept(TrackDataVisitor& visitor);
  virtual void OnAdded(ContainerTrackData const* parent);
  virtual void OnRemoved(ContainerTrackData const* parent,
                         du::SmartPtr<qmk::Operation> const& operation);
  virtual bool IsLocked() const;
  virtual void SetLocked(bool locked, bool recursive,
                         du::SmartPtr<qmk::Operation> const& operation);
  virtual float GetMixedLockState(unsigned int& locked, unsigned int& total) const;
  virtual void InvalidateMixedLockState();
  virtual bool FindTrack(std::string const& name, TrackData** found);

 private:
  virtual bool Mirror(long long start, long long end,
                      du::SmartPtr<qmk::Operation> const& operation);

 public:
  virtual bool Mirror(du::SmartPtr<qmk::Operation> const& operation);

 private:
  virtual bool Flip(long long start, long long end, du::SmartPtr<qmk::Operation> const& operation);

 public:
  virtual bool Flip(du::SmartPtr<qmk::Operation> const& operation);
  virtual bool IsExternTrack() const;
  virtual bool IsVisible() const;
  virtual du::SmartPtr<TrackData> CutTrackInRange(long long start, long long end,
                                                  EffectsSplitMapper& mapper,
                                                  du::SmartPtr<qmk::Operation> const& operation);
  virtual bool IncludeConflictsInSegment();
  virtual bool Remove(long long start, long long end,
                      du::SmartPtr<qmk::Operation> const& operation);
  virtual void InvalidateDescendantSegments();

 protected:
  virtual void PostTrackChangedNotification(TrackChangeType type, TrackData* track,
                                            TrackData* other);
  virtual void PostKeyChangedNotification(TrackChangeType type, TrackData* track,
                                          KeyframeData* key);

 private:
  virtual bool UpdateSegments();

 public:
  virtual bool Move(long long from, long long to, long long newFrom, long long newTo, MoveType type,
                    du::SmartPtr<qmk::Operation> const& operation);

  du::SmartPtr<Timeline> GetTimeline() const;
  du::SmartPtr<TrackData> GetParent() const;
  TrackType GetTrackType() const;

  QM_STANDIN_ONLY void SetTimeline(Timeline* timeline) { timeline_ = timeline; }
  QM_STANDIN_ONLY void SetParent(TrackData* parent) { parent_ = parent; }
  QM_STANDIN_ONLY void SetTrackType(TrackType type) { type_ = type; }
  QM_STANDIN_ONLY void SetLockedState(bool locked) { locked_ = locked; }

 protected:
  TrackData();
  TrackData(TrackData const& other);

  std::string m_trackName;

 private:
  Timeline* timeline_ = nullptr;
  TrackData* parent_ = nullptr;
  TrackType type_ = TT_Item;
  bool locked_ = false;
};

// A track that holds other tracks.
class QM_HOST_API ContainerTrackData : public TrackData {
 public:
  explicit ContainerTrackData(TrackType type = TT_Folder);
  ~ContainerTrackData() override;
  void OnAdded(ContainerTrackData const* parent) override;
  void SetLocked(bool locked, bool recursive,
                 du::SmartPtr<qmk::Operation> const& operation) override;
  float GetMixedLockState(unsigned int& locked, unsigned int& total) const override;
  void InvalidateMixedLockState() override;
  bool FindTrack(std::string const& name, TrackData** found) override;
  bool Remove(long long start, long long end,
              du::SmartPtr<qmk::Operation> const& operation) override;
  void InvalidateDescendantSegments() override;
  bool Move(long long from, long long to, long long newFrom, long long newTo, MoveType type,
            du::SmartPtr<qmk::Operation> const& operation) override;

  QM_STANDIN_ONLY void AddChild(du::SmartPtr<TrackData> const& child);
  QM_STANDIN_ONLY void ClearChildren();

 protected:
  ContainerTrackData(ContainerTrackData const& other);

 private:
  std::vector<du::SmartPtr<TrackData>> children_;
};

// A track that animates one item of the illustration.
class QM_HOST_API ItemTrackData : public ContainerTrackData {
 public:
  ~ItemTrackData() override;
  bool Accept(TrackDataVisitor& visitor) override;
  void OnRemoved(ContainerTrackData const* parent,
                 du::SmartPtr<qmk::Operation> const& operation) override;
  du::SmartPtr<TrackData> CutTrackInRange(long long start, long long end,
                                          EffectsSplitMapper& mapper,
                                          du::SmartPtr<qmk::Operation> const& operation) override;

  virtual void UpdateDisplayName(du::SmartPtr<qmk::Scene> const& scene);
  virtual du::SmartPtr<qmk::SelectionItem> GetSelectionItem();
  virtual bool UsesTargetName();
  virtual void InitDisplayName(du::SmartPtr<Target> const& target);
  virtual void CopyFrom(du::SmartPtr<ItemTrackData> const& other);
  virtual void Save(PropertyWriter& writer);
  virtual void Load(PropertyReader& reader);
  virtual du::Symbol GetTargetDescription(du::SmartPtr<Target> const& target);

  QM_STANDIN_ONLY void SetSelectionItem(du::SmartPtr<qmk::SelectionItem> item) {
    m_selectionItem = std::move(item);
  }
  QM_STANDIN_ONLY std::string const& TrackNameField() const { return m_trackName; }
  QM_STANDIN_ONLY std::string const& DisplayNameField() const { return m_displayName; }
  QM_STANDIN_ONLY bool DisplayNameFlag() const { return m_useDisplayName; }

 private:
  bool UpdateSegments() override;

 protected:
  ItemTrackData();
  explicit ItemTrackData(du::SmartPtr<ItemTrackData> const& source);

  std::string m_displayName;
  bool m_useDisplayName = false;
  du::SmartPtr<qmk::SelectionItem> m_selectionItem;
};

// The item tracks that the host makes itself, before a plug-in supplies its own.
class QM_HOST_API BasicItemTrackData : public ItemTrackData {
 public:
  BasicItemTrackData();
  explicit BasicItemTrackData(du::SmartPtr<ItemTrackData> const& source);
  ~BasicItemTrackData() override;
};

struct QM_HOST_API ItemTrackCreator {
  using CreateFunction = std::function<du::SmartPtr<ItemTrackData>()>;
  using CopyFunction =
      std::function<du::SmartPtr<ItemTrackData>(du::SmartPtr<ItemTrackData> const&)>;
  static CreateFunction CreateItemTrackDataImpl;
  static CopyFunction CopyItemTrackDataImpl;
};

class QM_HOST_API EffectsSplitMapper {
 public:
  virtual ~EffectsSplitMapper();

  // The cuts that the base item track made with this mapper, in order, with the operation that
  // each was given (by address).
  struct Cut {
    long long start;
    long long end;
    qmk::Operation const* operation;
  };
  QM_STANDIN_ONLY void RecordCut(Cut cut) { cuts_.push_back(cut); }
  QM_STANDIN_ONLY std::vector<Cut> const& Cuts() const { return cuts_; }

 private:
  std::vector<Cut> cuts_;
};

namespace engineutils {
QM_HOST_API std::string GetTargetDisplayName(du::SmartPtr<Target> const& target);
QM_HOST_API bool GetAnnotationFromTarget(du::SmartPtr<qmk::Annotation>& annotation,
                                         du::SmartPtr<Target> const& target);
QM_HOST_API du::SmartPtr<qmk::BaseInstance> GetActInstance(
    du::SmartPtr<qmk::SelectionItem> const& item, du::SmartPtr<qmk::Scene> scene);
}  // namespace engineutils

}  // namespace animation
