#include "output.h"

#include <simdjson.h>

#include <algorithm>
#include <ostream>
#include <string>

#include "quoting.h"

namespace illhost {

namespace {

namespace json = simdjson::ondemand;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Where a track's member starts (its key) and whether it is written back.
struct Member {
  std::size_t keyAt;
  bool kept;
};

// The members of the track object at [begin, end), walked again by the parser.
std::vector<Member> Members(json::parser& parser, std::string_view text, std::size_t begin,
                            std::size_t end) {
  std::vector<Member> members;
  json::document doc;
  json::object object;
  if (parser.iterate(text.data() + begin, end - begin, text.size() + InputText::kPadding - begin)
          .get(doc) ||
      doc.get_object().get(object))
    return members;
  for (auto member : object) {
    json::field field;
    if (std::move(member).get(field)) break;
    std::string_view key;
    char const* const raw = field.key().raw();
    if (field.unescaped_key().get(key)) break;
    members.push_back(Member{static_cast<std::size_t>(raw - 1 - text.data()),
                             key != "stored" && key != "rename" && key != "refresh"});
  }
  return members;
}

// Where the member that starts at `from` ends, given where the next one (or the '}') starts.
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

void WriteTrack(std::ostream& out, std::string_view text, std::vector<Member> const& members,
                TrackSpec const& track, TrackResult const& result) {
  std::size_t const close = track.textEnd - 1;  // the '}'
  auto const next = [&](std::size_t i) {
    return i + 1 < members.size() ? members[i + 1].keyAt : close;
  };
  auto const end = [&](std::size_t i) { return MemberEnd(text, members[i].keyAt, next(i)); };
  auto const before = [&](std::size_t i) {  // the separator that precedes member i > 0
    return text.substr(end(i - 1), members[i].keyAt - end(i - 1));
  };
  // "stored" goes last, parted as the first member it replaces was, or else as the last member.
  std::string_view separator = ", ";
  if (members.size() > 1) separator = before(members.size() - 1);
  for (std::size_t i = 1; i < members.size(); ++i) {
    if (!members[i].kept) {
      separator = before(i);
      break;
    }
  }
  out << text.substr(track.textBegin, members.front().keyAt - track.textBegin);
  bool first = true;
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (!members[i].kept) continue;
    if (!first) out << before(i);
    out << text.substr(members[i].keyAt, end(i) - members[i].keyAt);
    first = false;
  }
  if (!first) out << separator;
  WriteStored(out, track, result);
  std::size_t const after = end(members.size() - 1);
  out << text.substr(after, track.textEnd - after);
}

}  // namespace

void WriteStoredIllustration(InputText const& source, Illustration const& illustration,
                             std::vector<TrackResult> const& results, std::ostream& out) {
  std::string_view const text = source.Text();
  json::parser parser;
  std::size_t copied = 0;
  std::size_t const count = std::min(results.size(), illustration.tracks.size());
  for (std::size_t i = 0; i < count; ++i) {
    TrackSpec const& track = illustration.tracks[i];
    std::vector<Member> const members = Members(parser, text, track.textBegin, track.textEnd);
    if (members.empty()) continue;  // every track read has an id; nothing to change otherwise
    out << text.substr(copied, track.textBegin - copied);
    WriteTrack(out, text, members, track, results[i]);
    copied = track.textEnd;
  }
  out << text.substr(copied);
}

}  // namespace illhost
