#include <ostream>
#include <string>

#include "json_text.h"
#include "output.h"

namespace illhost {

void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results, int indent) {
  std::string text;
  JsonObject file(text, indent);
  JsonObject list(file.Key("tracks"), indent + 2, '[');
  for (TrackResult const& r : results) {
    JsonObject track(list.Item(), indent + 4);
    AppendJsonString(track.Key("id"), r.id);
    AppendJsonInteger(track.Key("name_type_before"), r.nameTypeBefore);
    AppendJsonInteger(track.Key("name_type"), r.nameType);
    AppendJsonString(track.Key("track_name"), r.trackName);
    AppendJsonString(track.Key("shown_name"), r.shownName);
    track.Key("uses_target_name") += r.usesTargetName ? "true" : "false";
    AppendJsonString(track.Key("description"), r.description);
    if (r.selectionItem)
      AppendJsonString(track.Key("selection_item"), *r.selectionItem);
    else
      track.Key("selection_item") += "null";
    JsonObject saved(track.Key("saved"), indent + 6);
    for (auto const& [key, value] : r.saved) saved.Key(key) += std::to_string(value);
    saved.Close();
    track.Close();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  }
  list.Close();
  file.Close();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
