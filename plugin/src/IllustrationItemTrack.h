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

class IllustrationItemTrack : public animation::ItemTrackData {
 public:
  IllustrationItemTrack();
  explicit IllustrationItemTrack(du::SmartPtr<animation::ItemTrackData> const& source);
  ~IllustrationItemTrack() override;

  std::string GetTrackName() override;
  void SetTrackName(std::string const& name, du::SmartPtr<qmk::Operation> const& operation) override;
  du::SmartPtr<animation::TrackData> CutTrackInRange(
      long long start, long long end, animation::EffectsSplitMapper& mapper,
      du::SmartPtr<qmk::Operation> const& operation) override;
  void UpdateDisplayName(du::SmartPtr<qmk::Scene> const& scene) override;
  du::SmartPtr<qmk::SelectionItem> GetSelectionItem() override;
  bool UsesTargetName() override;
  void InitDisplayName(du::SmartPtr<animation::Target> const& target) override;
  void CopyFrom(du::SmartPtr<animation::ItemTrackData> const& other) override;
  void Save(animation::PropertyWriter& writer) override;
  void Load(animation::PropertyReader& reader) override;
  du::Symbol GetTargetDescription(du::SmartPtr<animation::Target> const& target) override;

  // Steps of the classification of an unresolved track, which GetTargetDescription runs.
  void ClassifyNameType(du::SmartPtr<animation::Target> const& target, bool nameEqualsDisplayText);
  du::Symbol ResolveCenterLineTarget(du::SmartPtr<animation::Target> const& target, bool classify);
  void ClassifyCalloutLabelName(du::SmartPtr<qmannotations::Callout> const& callout,
                                du::Symbol& displayText);
  void ClassifyNameByLabelContent(du::SmartPtr<qmk::illustration::SbomInstance> const& instance,
                                  qmannotations::LabelContentList const& content,
                                  du::Symbol const& label);

  std::int16_t GetNameType() const { return nameType_; }
  void SetNameType(NameType type) { nameType_ = static_cast<std::int16_t>(type); }

 private:
  bool Is(NameType type) const { return nameType_ == static_cast<std::int16_t>(type); }
  du::Symbol RefineDisplayText(du::SmartPtr<animation::Target> const& target, du::Symbol displayText);
  void ClassifyByTarget(du::SmartPtr<animation::Target> const& target, du::Symbol& displayText);
  void MatchCalloutGroup(du::SmartPtr<qmannotations::Callout> const& callout, std::string const& prefix,
                         std::string const& remainder, du::Symbol& displayText);

  std::int16_t nameType_;
};

}  // namespace illanimation
