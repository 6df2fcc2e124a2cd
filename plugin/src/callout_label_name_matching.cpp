// Whether an unresolved track's name was made from its callout's label: the label text
// itself, or a first word followed by the SBOM names that the label shows.
#include "callout_label_name_matching.h"

#include <optional>

#include "IllustrationItemTrack.h"
#include "callout_sbom_instance.h"
#include "center_line_resolution.h"
#include "key_symbols.h"
#include "target_lookups.h"

namespace illanimation {

namespace {
constexpr char kPieceSeparator[] = ", ";
constexpr std::size_t kPieceSeparatorLength = sizeof(kPieceSeparator) - 1;

// The text that a group's track shows when each piece of its name pairs with one grouped
// callout, in order; nothing when a member that shows an SBOM name does not match its piece.
// Such a member contributes the current display name of its SBOM instance, so that the shown
// text follows renames in the model; any other member contributes its piece unchanged.
std::optional<std::string> ComposeGroupName(du::SmartPtr<qmannotations::Callout> const& group,
                                            std::string const& prefix,
                                            std::string const& remainder) {
  std::vector<du::SmartPtr<qmannotations::Callout>> const members = group->m_groupMembers;
  std::vector<std::string> const pieces = SplitNameRemainder(remainder);
  std::string composed = prefix;
  std::size_t const pairs = std::min(members.size(), pieces.size());
  for (std::size_t i = 0; i < pairs; ++i) {
    if (i > 0) composed += kPieceSeparator;
    du::SmartPtr<qmannotations::Callout> const& member = members[i];
    // A missing member shows no SBOM name.
    if (!member || !ShowsSbomName(member)) {
      composed += pieces[i];
      continue;
    }
    du::SmartPtr<qmk::illustration::SbomInstance> instance = FindCalloutSbomInstance(member);
    if (!instance || !MatchesInstanceName(instance, pieces[i])) return std::nullopt;
    du::Symbol memberName;
    instance->GetInstanceDisplayName(memberName);
    composed += memberName.str();
  }
  return composed;
}
}  // namespace

bool ShowsSbomName(du::SmartPtr<qmannotations::Callout> const& callout) {
  du::SmartPtr<qmannotations::TAnnotation> definition = callout->GetDefinition();
  if (!definition) return false;
  qmannotations::LabelContentList parts;
  definition->GetTextContent(parts);
  for (auto const& part : parts) {
    if (!part) continue;
    if (ShowsNameValue(*part) ||
        (part->GetPropertyName() == keys::Tag && part->GetContentKind().empty()))
      return true;
  }
  return false;
}

std::vector<std::string> SplitNameRemainder(std::string const& remainder) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (std::size_t at; (at = remainder.find(kPieceSeparator, start)) != std::string::npos;
       start = at + kPieceSeparatorLength)
    pieces.push_back(remainder.substr(start, at - start));
  if (start < remainder.size() || pieces.empty()) pieces.push_back(remainder.substr(start));
  return pieces;
}

void IllustrationItemTrack::ClassifyCalloutLabelName(
    du::SmartPtr<qmannotations::Callout> const& callout, du::Symbol& displayText) {
  if (displayText == m_trackName) {
    SetNameType(NameType::FromTarget);
    return;
  }
  std::string prefix;
  std::string remainder;
  std::size_t const space = m_trackName.find(' ');
  if (space != std::string::npos) {
    prefix = m_trackName.substr(0, space + 1);
    remainder = m_trackName.substr(space + 1);
  }

  if (callout->IsGroup()) {
    std::optional<std::string> composed = ComposeGroupName(callout, prefix, remainder);
    SetNameType(composed ? NameType::FromTarget : NameType::Custom);
    if (composed) displayText = du::Symbol(*composed);
    return;
  }
  if (callout->m_calloutKind == 0) {
    if (!ShowsSbomName(callout)) {
      SetNameType(NameType::Custom);
      return;
    }
    // While the SBOM instance cannot be found the track stays unresolved and is tried again.
    du::SmartPtr<qmk::illustration::SbomInstance> instance = FindCalloutSbomInstance(callout);
    if (!instance) return;
    SetNameType(MatchesInstanceName(instance, remainder) ? NameType::FromTarget : NameType::Custom);
    displayText = du::Symbol(prefix + displayText.str());
    return;
  }
  if (callout->GetType() == qmannotations::Callout::CT_Sbom && ShowsSbomName(callout)) {
    if (du::SmartPtr<qmk::illustration::SbomInstance> instance = FindCalloutSbomInstance(callout)) {
      qmannotations::LabelContentList parts;
      if (du::SmartPtr<qmannotations::TAnnotation> definition = callout->GetDefinition())
        definition->GetTextContent(parts);
      ClassifyNameByLabelContent(instance, parts, displayText);
      return;
    }
  }
  SetNameType(NameType::Custom);
}

}  // namespace illanimation
