#include "illustration.h"

#include <algorithm>
#include <ostream>

#include "illustration_format.h"
#include "quoting.h"

namespace illhost {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool Kept(TrackMember const& member) {
  return member.key < TrackMember::kDropped && !format::kTrack.keys[member.key].dropped;
}

// `next` is where the next member (or the '}') starts.
std::size_t MemberEnd(std::string_view text, std::size_t from, std::size_t next) {
  while (next > from && IsSpace(text[next - 1])) --next;
  if (next > from && text[next - 1] == ',') --next;
  while (next > from && IsSpace(text[next - 1])) --next;
  return next;
}

void WriteStored(std::ostream& out, TrackSpec const& track, TrackResult const& result) {
  std::string text = "\"stored\": {\"name\": ";
  AppendJsonString(text, result.shownName);
  text += ", \"properties\": {";
  char const* separator = "";
  auto const write = [&](std::string const& key, std::int64_t value) {
    AppendJsonString(text += separator, key);
    text += ": " + std::to_string(value);
    separator = ", ";
  };
  auto const find = [](auto const& list, auto const& key) {
    return std::find_if(list.begin(), list.end(), [&](auto const& e) { return e.first == key; });
  };
  if (track.stored) {
    for (auto const& [key, value] : track.stored->properties) {
      auto const taken = find(result.saved, key.str());
      write(key.str(), taken != result.saved.end() ? taken->second : value);
    }
  }
  for (auto const& [key, value] : result.saved)
    if (!track.stored || find(track.stored->properties, key) == track.stored->properties.end())
      write(key, value);
  out << text << "}}";
}

struct TrackText {
  std::string_view text;
  TrackSpec const& track;
  TrackMember const* members;

  std::size_t Count() const { return track.memberCount; }
  std::size_t End(std::size_t i) const {
    return MemberEnd(text, members[i].keyAt,
                     i + 1 < Count() ? members[i + 1].keyAt : track.textEnd - 1);
  }
  std::string_view Member(std::size_t i) const {
    return text.substr(members[i].keyAt, End(i) - members[i].keyAt);
  }
  std::string_view Before(std::size_t i) const {  // the separator that precedes member i > 0
    return text.substr(End(i - 1), members[i].keyAt - End(i - 1));
  }
  std::optional<std::size_t> Find(std::size_t key) const {
    for (std::size_t i = 0; i < Count(); ++i)
      if (members[i].key == key) return i;
    return std::nullopt;
  }
};

TrackText TextOf(std::string_view text, Illustration const& ill, std::size_t i) {
  return {text, ill.tracks[i], &ill.members[ill.tracks[i].firstMember]};
}

// The track a track was first made from, and the nearest up its sources that gives a target.
struct Lineage {
  std::size_t origin, target;
};

// What a copy or piece took from its source and keeps once stored: the target unless it gave its
// own, the origin's selection item (by its id where it was the origin's target's) and locked state.
std::string Inherited(std::string_view text, Illustration const& ill,
                      std::vector<TrackResult> const& results, Lineage const& up, std::size_t i,
                      std::string_view separator) {
  constexpr auto& s = format::kTrack;
  std::string taken;
  auto const add = [&](std::string_view member) { taken.append(separator).append(member); };
  if (up.target != kNoTrack && up.target != i) {
    TrackText const t = TextOf(text, ill, up.target);
    add(t.Member(*t.Find(At<s["target"]>)));
  }
  TrackText const o = TextOf(text, ill, up.origin);
  if (auto const at = o.Find(At<s["selection_item"]>)) {
    add(o.Member(*at));
  } else if (up.target != kNoTrack && up.target != up.origin &&
             !results[up.origin].target.empty()) {
    AppendJsonString(taken.append(separator).append("\"selection_item\": "),
                     results[up.origin].target);
  }
  if (auto const at = o.Find(At<s["locked"]>)) add(o.Member(*at));
  return taken;
}

void WriteTrack(std::ostream& out, Illustration const& ill, std::vector<TrackResult> const& results,
                TrackText const& t, Lineage const& up, std::size_t index) {
  std::size_t const count = t.Count();
  // "stored" goes last, parted as the first member it replaces was, or else as the last member.
  std::size_t replaced = 1;
  while (replaced < count && Kept(t.members[replaced])) ++replaced;
  std::string_view const separator = count < 2 ? ", " : t.Before(std::min(replaced, count - 1));
  out << t.text.substr(t.track.textBegin, t.members[0].keyAt - t.track.textBegin);
  bool first = true;
  for (std::size_t i = 0; i < count; ++i) {
    if (!Kept(t.members[i])) continue;
    if (!first) out << t.Before(i);
    out << t.Member(i);
    first = false;
  }
  if (t.track.source != kNoTrack) out << Inherited(t.text, ill, results, up, index, separator);
  out << separator;
  WriteStored(out, t.track, results[index]);
  std::size_t const after = t.End(count - 1);
  out << t.text.substr(after, t.track.textEnd - after);
}

}  // namespace

void WriteStoredIllustration(InputText const& source, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out) {
  std::string_view const text = source.Text();
  std::size_t copied = 0;
  std::size_t const count = std::min(results.size(), illustration.tracks.size());
  std::vector<Lineage> lineage(count);
  for (std::size_t i = 0; i < count; ++i) {
    TrackSpec const& track = illustration.tracks[i];
    bool const gives = TextOf(text, illustration, i).Find(At<format::kTrack["target"]>).has_value();
    Lineage const up = track.source == kNoTrack ? Lineage{i, kNoTrack} : lineage[track.source];
    lineage[i] = {up.origin, gives ? i : up.target};
    if (results[i].none || track.memberCount == 0) continue;  // written as it was read
    out << text.substr(copied, track.textBegin - copied);
    WriteTrack(out, illustration, results, TextOf(text, illustration, i), lineage[i], i);
    copied = track.textEnd;
  }
  out << text.substr(copied);
}

}  // namespace illhost
