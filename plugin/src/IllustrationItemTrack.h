// The module's item track: the host's item track plus a name type, which records whether the
// name that the track shows follows its target or is the track's own.
#pragma once

#include <cstdint>
#include <string>

#include "host/animation.h"
#include "host/annotations.h"
#include "host/illustration.h"

namespace illanimation {

enum class NameType : std::int16_t {
  Custom = 0,      // the track's own name
  FromTarget = 1,  // the display name, taken from the target and refreshed from it
  Default = 2,     // came with the target but does not follow it
  Unresolved = 3,  // not classified yet
};

// Each group of operations below is defined in the source file that its comment names.
class IllustrationItemTrack : public animation::ItemTrackData {
 public:
  // track_naming_core.cpp: construction, the shown name, renames, copies, saving, loading.
  IllustrationItemTrack();
  explicit IllustrationItemTrack(du::SmartPtr<animation::ItemTrackData> const& source);
  ~IllustrationItemTrack() override;
  std::string GetTrackName() override;
  void SetTrackName(std::string const& name,
                    du::SmartPtr<qmk::Operation> const& operation) override;
  bool UsesTargetName() override;
  void CopyFrom(du::SmartPtr<animation::ItemTrackData> const& other) override;
  void Save(animation::PropertyWriter& writer) override;
  void Load(animation::PropertyReader& reader) override;

  // track_naming_from_target.cpp: the display name taken from the target and refreshed.
  void InitDisplayName(du::SmartPtr<animation::Target> const& target) override;
  void UpdateDisplayName(du::SmartPtr<qmk::Scene> const& scene) override;
  du::SmartPtr<animation::TrackData> CutTrackInRange(
      long long start, long long end, animation::EffectsSplitMapper& mapper,
      du::SmartPtr<qmk::Operation> const& operation) override;

  // track_selection_item.cpp
  du::SmartPtr<qmk::SelectionItem> GetSelectionItem() override;

  // target_description.cpp: the text shown for a target, and the first step of the
  // classification of an unresolved track.
  du::Symbol GetTargetDescription(du::SmartPtr<animation::Target> const& target) override;
  void ClassifyNameType(du::SmartPtr<animation::Target> const& target, bool nameEqualsDisplayText);

  // Later steps of the classification. Each sets the name type that it decides.
  // center_line_resolution.cpp: also the text that a centre line's track shows.
  du::Symbol ResolveCenterLineTarget(du::SmartPtr<animation::Target> const& target, bool classify);
  // callout_label_name_matching.cpp: may replace the label text by the text that the track
  // is to show once it follows its callout.
  void ClassifyCalloutLabelName(du::SmartPtr<qmannotations::Callout> const& callout,
                                du::Symbol& displayText);
  // callout_sbom_instance.cpp
  void ClassifyNameByLabelContent(du::SmartPtr<qmk::illustration::SbomInstance> const& instance,
                                  qmannotations::LabelContentList const& content,
                                  du::Symbol const& label);

  std::int16_t GetNameType() const { return nameType_; }
  void SetNameType(NameType type) { nameType_ = static_cast<std::int16_t>(type); }

 private:
  bool Is(NameType type) const { return nameType_ == static_cast<std::int16_t>(type); }
  // target_description.cpp
  void RefineDisplayText(du::SmartPtr<animation::Target> const& target, du::Symbol& displayText);
  void ClassifyByTarget(du::SmartPtr<animation::Target> const& target, du::Symbol& displayText);
  void ClassifyByAnnotation(du::SmartPtr<animation::Target> const& target, du::Symbol& displayText);
  void ClassifyByGeometryParent(qmk::SelectionItem const& item);

  std::int16_t nameType_;
};

}  // namespace illanimation
