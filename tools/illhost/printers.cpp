#include "printers.h"

#include <iomanip>
#include <ostream>

namespace illhost {
namespace {

nlohmann::json Optional(std::optional<std::int64_t> const& v) {
  return v ? nlohmann::json(*v) : nlohmann::json();
}
std::string Cell(std::optional<std::int64_t> const& v) { return v ? std::to_string(*v) : "-"; }

}  // namespace

nlohmann::json ResultsJson(std::vector<TrackResult> const& results) {
  nlohmann::json tracks = nlohmann::json::array();
  for (auto const& r : results) {
    nlohmann::json saved = nlohmann::json::object();
    for (auto const& [key, value] : r.saved) saved[key] = value;
    tracks.push_back(
        {{"id", r.id},
         {"name_type_before", Optional(r.nameTypeBefore)},
         {"name_type", Optional(r.nameType)},
         {"track_name", r.trackName},
         {"shown_name", r.shownName},
         {"uses_target_name", r.usesTargetName},
         {"description", r.description},
         {"selection_item", r.selectionItem ? nlohmann::json(*r.selectionItem) : nlohmann::json()},
         {"saved", saved}});
  }
  return {{"tracks", tracks}};
}

void PrintTable(std::ostream& out, std::vector<TrackResult> const& results) {
  out << std::left << std::setw(16) << "track" << std::setw(16) << "target" << std::setw(5) << "was"
      << std::setw(5) << "now" << std::setw(26) << "shown name" << std::setw(9) << "follows"
      << std::setw(32) << "description"
      << "selection item\n";
  for (auto const& r : results)
    out << std::setw(16) << r.id + " " << std::setw(16) << (r.target.empty() ? "-" : r.target) + " "
        << std::setw(5) << Cell(r.nameTypeBefore) << std::setw(5) << Cell(r.nameType)
        << std::setw(26) << r.shownName + " " << std::setw(9) << (r.usesTargetName ? "yes" : "no")
        << std::setw(32) << r.description + " " << r.selectionItem.value_or("-") << '\n';
}

}  // namespace illhost
