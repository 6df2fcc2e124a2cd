#include "json_printer.h"

#include <ostream>
#include <string>

#include "json_text.h"

namespace illhost {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

void AppendTrack(std::string& out, TrackResult const& r, int indent) {
  int const in = indent + 2;
  AppendIndent(out, indent);
  out += "{\n";
  AppendJsonKey(out, in, "id");
  AppendJsonString(out, r.id);
  out += ",\n";
  AppendJsonKey(out, in, "name_type_before");
  AppendJsonInteger(out, r.nameTypeBefore);
  out += ",\n";
  AppendJsonKey(out, in, "name_type");
  AppendJsonInteger(out, r.nameType);
  out += ",\n";
  AppendJsonKey(out, in, "track_name");
  AppendJsonString(out, r.trackName);
  out += ",\n";
  AppendJsonKey(out, in, "shown_name");
  AppendJsonString(out, r.shownName);
  out += ",\n";
  AppendJsonKey(out, in, "uses_target_name");
  out += r.usesTargetName ? "true" : "false";
  out += ",\n";
  AppendJsonKey(out, in, "description");
  AppendJsonString(out, r.description);
  out += ",\n";
  AppendJsonKey(out, in, "selection_item");
  if (r.selectionItem)
    AppendJsonString(out, *r.selectionItem);
  else
    out += "null";
  out += ",\n";
  AppendJsonKey(out, in, "saved");
  if (r.saved.empty()) {
    out += "{}";
  } else {
    out += "{\n";
    for (std::size_t i = 0; i < r.saved.size(); ++i) {
      AppendIndent(out, in + 2);
      AppendJsonString(out, r.saved[i].first);
      out += ": ";
      out += std::to_string(r.saved[i].second);
      out += i + 1 < r.saved.size() ? ",\n" : "\n";
    }
    AppendIndent(out, in);
    out += '}';
  }
  out += '\n';
  AppendIndent(out, indent);
  out += '}';
}

}  // namespace

void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results, int indent) {
  std::string text = "{\n";
  AppendJsonKey(text, indent + 2, "tracks");
  if (results.empty()) {
    text += "[]";
  } else {
    text += "[\n";
    for (std::size_t i = 0; i < results.size(); ++i) {
      AppendTrack(text, results[i], indent + 4);
      text += i + 1 < results.size() ? ",\n" : "\n";
      if (text.size() >= kFlushAt) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        text.clear();
      }
    }
    AppendIndent(text, indent + 2);
    text += ']';
  }
  text += '\n';
  AppendIndent(text, indent);
  text += '}';
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
