// The timeline and its tracks: targets, stored values, renames.
#include "illustration_walk.h"

namespace illhost {
namespace reading {

using du::SmartPtr;

void Reader::ReadTimeline(json::value& v) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"save_suppressed", "parent_track_type", "tracks"};
  int parentType = 1;
  std::vector<std::size_t> defaultType;  // tracks that take the timeline's parent track type
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (key == 2) {
      out_.tracks.reserve(text_.size() / 256);
      walk_.List(value, [&](std::size_t, json::value& track) { ReadTrack(track, defaultType); });
    } else if (!walk_.IsNull(value)) {
      if (key == 0) out_.saveSuppressed = walk_.Flag(value);
      if (key == 1) parentType = walk_.SmallInteger(value);
    }
  });
  for (std::size_t track : defaultType) out_.tracks[track].parentTrackType = parentType;
}

void Reader::ReadTrack(json::value& v, std::vector<std::size_t>& defaultType) {
  std::size_t const at = walk_.Offset(v);
  std::size_t const number = out_.tracks.size();
  static constexpr std::string_view keys[] = {
      "id",     "target", "selection_item", "locked", "parent_track_type",
      "stored", "rename", "refresh"};
  out_.tracks.emplace_back();
  std::optional<std::string_view> id;
  std::size_t idAt = 0;
  Ref targetItem, selection;
  bool typeGiven = false;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    TrackSpec& track = out_.tracks[number];
    if (key == 0) {
      idAt = walk_.Offset(value), id = walk_.String(value);
    } else if (key == 1) {
      ReadTarget(value, number, targetItem);
    } else if (key == 2) {
      selection = ReadRef(value);
    } else if (key == 5) {
      ReadStored(value, track);
    } else if (key == 6) {
      ReadRename(value, track);
    } else if (!walk_.IsNull(value)) {
      if (key == 3) track.locked = walk_.Flag(value);
      if (key == 4) track.parentTrackType = walk_.SmallInteger(value), typeGiven = true;
      if (key == 7) track.refresh = walk_.Flag(value);
    }
  });
  TrackSpec& track = out_.tracks[number];
  track.id = std::string(RequiredId(id, at));
  Register(*id, idAt, Kind::Track, nullptr);
  if (!typeGiven) defaultType.push_back(number);
  track.textBegin = at;
  FinishTrack(track, number, selection, targetItem);
}

void Reader::ReadRename(json::value& v, TrackSpec& track) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"name", "by_user"};
  auto rename = std::make_unique<TrackSpec::Rename>();
  walk_.Members(v, keys, [&](std::size_t key, json::value& part, std::size_t) {
    if (walk_.IsNull(part)) return;
    if (key == 0) rename->name = std::string(walk_.String(part));
    if (key == 1) rename->byUser = walk_.Flag(part);
  });
  track.rename = std::move(rename);
}

// Where the track's object ends, and its selection item: the one named, else the target's.
void Reader::FinishTrack(TrackSpec& track, std::size_t number, Ref const& selection,
                         Ref const& targetItem) {
  // The parser stands on the ',' or ']' after the object; the object ends at its '}'.
  char const* next = nullptr;
  std::size_t end = text_.size();
  if (!doc_.current_location().get(next)) end = static_cast<std::size_t>(next - text_.data());
  while (end > track.textBegin && text_[end - 1] != '}') --end;
  track.textEnd = end;
  if (selection.given) {
    track.selectionItem = static_cast<qmk::SelectionItem*>(
        ResolveOrWait(selection, Bit(Kind::Item), "a selection item", Pending::TrackSelectionItem,
                      nullptr, number));
    return;
  }
  if (!track.target) return;
  track.selectionItem = track.target->m_selectionItem;
  if (!targetItem.null && !track.selectionItem)  // the item is made later: follow it then
    pending_.push_back(Pending{targetItem, nullptr, number, Pending::TrackSelectionItem});
}

void Reader::ReadTarget(json::value& v, std::size_t number, Ref& item) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"kind", "item", "scene", "display_name"};
  auto target = Keep(new animation::Target);
  target->m_kind = 2;
  Ref scene;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (key == 0 && !walk_.IsNull(value)) target->m_kind = walk_.SmallInteger(value);
    if (key == 1) item = ReadRef(value);
    if (key == 2) scene = ReadRef(value);
    if (key == 3)
      target->m_displayName =
          walk_.IsNull(value) ? std::string() : std::string(walk_.String(value));
  });
  target->m_selectionItem = static_cast<qmk::SelectionItem*>(ResolveOrWait(
      item, Bit(Kind::Item), "a selection item", Pending::TrackTargetItem, nullptr, number));
  target->m_scene = static_cast<qmk::Scene*>(
      ResolveOrWait(scene, Bit(Kind::Scene), "a scene", Pending::TrackScene, nullptr, number));
  out_.tracks[number].target = target;
}

void Reader::ReadStored(json::value& v, TrackSpec& track) {
  if (walk_.IsNull(v)) return;
  static constexpr std::string_view keys[] = {"name", "properties"};
  TrackSpec::Stored stored;
  walk_.Members(v, keys, [&](std::size_t key, json::value& value, std::size_t) {
    if (walk_.IsNull(value)) return;
    if (key == 0) {
      stored.name = std::string(walk_.String(value));
      return;
    }
    walk_.Map(value, [&](std::string_view name, json::value& number) {
      stored.properties.emplace_back(du::Symbol(std::string(name)), walk_.Integer(number));
    });
  });
  track.stored = std::make_unique<TrackSpec::Stored>(std::move(stored));
}

}  // namespace reading
}  // namespace illhost
