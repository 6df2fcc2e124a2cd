#include "illustration_writer.h"

#include <ostream>

namespace illhost {

void WriteStoredIllustration(InputText const& /*source*/, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out) {
  nlohmann::json document = illustration.document;
  if (!results.empty()) {
    auto& tracks = document["timeline"]["tracks"];
    for (std::size_t i = 0; i < results.size(); ++i) {
      auto& track = tracks[i];
      track.erase("rename");
      track.erase("refresh");
      nlohmann::json properties = nlohmann::json::object();
      for (auto const& [key, value] : results[i].saved) properties[key] = value;
      track["stored"] = {{"name", results[i].shownName}, {"properties", properties}};
    }
  }
  out << document.dump(2) << '\n';
}

}  // namespace illhost
