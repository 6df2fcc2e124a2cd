#include "json_printer.h"

#include <ostream>
#include <string>

#include "json_text.h"

namespace illhost {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

void AppendTrack(std::string& out, TrackResult const& r, int indent) {
  AppendIndent(out, indent);
  JsonObject track(out, indent);
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
  JsonObject saved(track.Key("saved"), indent + 2);
  for (auto const& [key, value] : r.saved) saved.Key(key.c_str()) += std::to_string(value);
  saved.Close();
  track.Close();
}

}  // namespace

void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results, int indent) {
  std::string text;
  JsonObject file(text, indent);
  std::string& list = file.Key("tracks");
  list += '[';
  for (std::size_t i = 0; i < results.size(); ++i) {
    list += i == 0 ? "\n" : ",\n";
    AppendTrack(list, results[i], indent + 4);
    if (list.size() >= kFlushAt) {
      out.write(list.data(), static_cast<std::streamsize>(list.size()));
      list.clear();
    }
  }
  if (!results.empty()) {
    list += '\n';
    AppendIndent(list, indent + 2);
  }
  list += ']';
  file.Close();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
