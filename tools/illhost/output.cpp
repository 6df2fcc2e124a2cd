#include "output.h"

#include <algorithm>
#include <array>
#include <ostream>

#include "name_types.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr std::size_t kColumns = 9, kCellColumns = 40, kMadeColumn = 1;
using Row = std::array<std::string_view, kColumns>;
constexpr Row kHeadings = {"track",      "made",    "target",      "was",           "now",
                           "shown name", "follows", "description", "selection item"};

// How a track was made, when from other tracks: "copy of ID", "cut from ID", then ", CopyFrom
// ID"; a cut without a piece says so.
std::string MadeFrom(std::vector<TrackResult> const& all, TrackResult const& r) {
  std::string made = r.made == Made::Copy     ? "copy of " + all[r.source].id
                     : r.made == Made::Cut    ? "cut from " + all[r.source].id
                     : r.made == Made::Stored ? "stored"
                                              : "created";
  if (r.none) made += r.made == Made::Cut ? ": no piece" : ": no track";
  if (r.copyFrom != kNoTrack) made += ", CopyFrom " + all[r.copyFrom].id;
  return made;
}

Row Cells(std::vector<TrackResult> const& all, TrackResult const& r,
          std::array<std::string, 3>& labels) {
  labels[0] = NameTypeLabel(r.nameTypeBefore);
  labels[1] = NameTypeLabel(r.nameType);
  labels[2] = MadeFrom(all, r);
  if (r.none) return {r.id, labels[2], "-", "-", "-", "-", "-", "-", "-"};
  return {r.id,
          labels[2],
          r.target.empty() ? "-" : std::string_view(r.target),
          labels[0],
          labels[1],
          r.shownName,
          r.usesTargetName ? "yes" : "no",
          r.description,
          r.selectionItem ? std::string_view(*r.selectionItem) : "-"};
}

Scalar Number(std::optional<std::int64_t> const& value) {
  return value ? Scalar(*value) : Scalar();
}

// A JSON object or array, a member or element a line, closed at `indent` spaces.
class JsonObject {
 public:
  JsonObject(std::string& out, std::size_t indent, char open = '{')
      : out_(out), indent_(indent), close_(open == '[' ? ']' : '}') {
    out_ += open;
  }
  std::string& Item() {
    out_.append(std::exchange(first_, false) ? "\n" : ",\n").append(indent_ + 2, ' ');
    return out_;
  }
  std::string& Key(std::string_view key) {
    AppendJsonString(Item(), key);
    return out_ += ": ";
  }
  void Close() {
    if (!first_) out_.append(1, '\n').append(indent_, ' ');
    out_ += close_;
  }

 private:
  std::string& out_;
  std::size_t indent_;
  char close_;
  bool first_ = true;
};

// A value shown in a step is cut at this many columns, and the steps align up to a call as wide.
constexpr std::size_t kValueColumns = 60;

// A value as JSON, whole; or for a person, escaped and cut, an object only as far as it can be
// shown (stored properties may be many).
void Append(std::string& out, Scalar const& value, bool json) {
  if (auto const* text = std::get_if<std::string>(&value))
    json ? AppendJsonString(out, *text) : void(out += QuoteInput(*text, kValueColumns));
  else if (auto const* flag = std::get_if<bool>(&value))
    out += *flag ? "true" : "false";
  else if (auto const* number = std::get_if<std::int64_t>(&value))
    out += std::to_string(*number);
  else if (json)
    out += "null";
}

void Append(std::string& out, StepValue const& v, bool json) {
  if (!v.object) return Append(out, v.value, json);
  std::size_t const start = out.size();
  out += '{';
  for (auto const& [key, value] : *v.object) {
    if (!json && out.size() - start > 4 * kValueColumns) return void(out += "…");
    if (out.size() - start > 1) out += ", ";
    Append(out, key, json);
    out += ": ";
    Append(out, value, json);
  }
  out += '}';
}

// A step's host calls, a line each under its step; a sequence repeated in a row once, under
// the number of times it ran.
void AppendHostCalls(std::string& text, std::vector<CallRun> const& runs) {
  char const* lead = "       host: ";
  for (CallRun const& run : runs) {
    if (run.times > 1) text.append(lead).append(std::to_string(run.times)).append(" times:\n");
    if (run.times > 1) lead = "             ";
    for (std::string const& call : run.calls) {
      AppendShown(text.append(lead).append(run.times > 1 ? "  " : ""), call, 3 * kValueColumns);
      text += '\n';
      lead = "             ";
    }
  }
}

}  // namespace

std::string NameTypeLabel(std::optional<std::int64_t> const& type) {
  NameType const* row = FindNameType(type);
  return row ? row->word : type ? std::to_string(*type) : "-";
}

void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide) {
  std::size_t const limit = wide ? kWhole : kCellColumns;
  std::array<std::size_t, kColumns> widths{};
  std::array<std::string, 3> labels;
  std::string line;
  // How each track was made is shown when any was made from another track.
  bool const made = std::any_of(results.begin(), results.end(), [](TrackResult const& r) {
    return r.source != kNoTrack || r.copyFrom != kNoTrack;
  });
  for (std::size_t c = 0; c < kColumns; ++c) widths[c] = kHeadings[c].size();
  for (auto const& r : results) {
    Row const cells = Cells(results, r, labels);
    for (std::size_t c = 0; c < kColumns; ++c) {
      line.clear();
      widths[c] = std::max(widths[c], AppendShown(line, cells[c], limit));
    }
  }
  // Each cell padded to its column but the last, a row written at a time.
  auto const print = [&](Row const& cells) {
    line.clear();
    for (std::size_t c = 0; c < kColumns; ++c) {
      if (c == kMadeColumn && !made) continue;
      std::size_t const used = AppendShown(line, cells[c], limit);
      if (c + 1 < kColumns) line.append(widths[c] - used + 2, ' ');
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  };
  print(kHeadings);
  for (auto const& r : results) print(Cells(results, r, labels));
}

void PrintTracksJson(std::ostream& out, std::vector<TrackResult> const& results,
                     std::size_t indent) {
  std::string text;
  JsonObject file(text, indent);
  JsonObject list(file.Key("tracks"), indent + 2, '[');
  for (TrackResult const& r : results) {
    JsonObject track(list.Item(), indent + 4);
    auto const put = [&](char const* key, Scalar const& value) {
      Append(track.Key(key), value, true);
    };
    // "made": "created", "stored", {"copy_of": ID} or {"cut_from": ID}.
    StepValue made{std::string(r.made == Made::Stored ? "stored" : "created"), std::nullopt};
    if (r.source != kNoTrack)
      made.object = {{r.made == Made::Copy ? "copy_of" : "cut_from", results[r.source].id}};
    put("id", r.id);
    Append(track.Key("made"), made, true);
    put("copy_from", r.copyFrom == kNoTrack ? Scalar() : results[r.copyFrom].id);
    if (r.none) {
      for (char const* key : {"name_type_before", "name_type", "track_name", "shown_name",
                              "uses_target_name", "description", "selection_item", "saved"})
        put(key, {});
    } else {
      put("name_type_before", Number(r.nameTypeBefore));
      put("name_type", Number(r.nameType));
      put("track_name", r.trackName);
      put("shown_name", r.shownName);
      put("uses_target_name", r.usesTargetName);
      put("description", r.description);
      put("selection_item", r.selectionItem ? Scalar(*r.selectionItem) : Scalar());
      JsonObject saved(track.Key("saved"), indent + 6);
      for (auto const& [key, value] : r.saved) saved.Key(key) += std::to_string(value);
      saved.Close();
    }
    track.Close();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    text.clear();
  }
  list.Close();
  file.Close();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PrintExplanation(std::ostream& out, Explanation const& e) {
  std::string text =
      "track " + QuoteInput(e.track) + ", step by step (name type before -> after):\n";
  std::vector<std::string> calls;
  std::vector<std::size_t> columns;
  std::size_t width = 0;
  for (auto const& step : e.steps) {
    std::string argument, result;
    Append(argument, step.argument, false);
    Append(result, step.result, false);
    std::string const call = std::string(step.step->name) +
                             (argument.empty() ? "" : " " + argument) +
                             (result.empty() ? "" : " -> " + result);
    calls.emplace_back();
    columns.push_back(AppendShown(calls.back(), call, 3 * kValueColumns));
    width = std::max(width, std::min(columns.back(), kValueColumns));
  }
  for (std::size_t i = 0; i < e.steps.size(); ++i) {
    StepRecord const& step = e.steps[i];
    std::string const number = std::to_string(i + 1) + ".";
    text += std::string(4 - std::min<std::size_t>(number.size(), 3), ' ') + number + " ";
    text += calls[i];
    text.append(columns[i] < width ? width - columns[i] : 0, ' ');
    text += "  " + (step.nameTypeBefore ? NameTypeLabel(step.nameTypeBefore) : "(none)") + " -> " +
            NameTypeLabel(step.nameTypeAfter) + "\n";
    AppendHostCalls(text, step.hostCalls);
  }
  text += "why: " + e.reason + "\n";
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PrintExplanationJson(std::ostream& out, Explanation const& e, std::size_t indent) {
  std::string text;
  JsonObject explanation(text, indent);
  AppendJsonString(explanation.Key("track"), e.track);
  JsonObject steps(explanation.Key("steps"), indent + 2, '[');
  for (StepRecord const& s : e.steps) {
    JsonObject step(steps.Item(), indent + 4);
    AppendJsonString(step.Key("step"), s.step->name);
    AppendJsonString(step.Key("operation"), s.step->operation);
    Append(step.Key("argument"), s.argument, true);
    Append(step.Key("result"), s.result, true);
    Append(step.Key("name_type_before"), Number(s.nameTypeBefore), true);
    Append(step.Key("name_type_after"), Number(s.nameTypeAfter), true);
    // Each call as a string; a sequence repeated in a row as {"times": N, "calls": [...]}.
    std::string& calls = step.Key("host_calls") += '[';
    for (std::size_t r = 0; r < s.hostCalls.size(); ++r) {
      CallRun const& run = s.hostCalls[r];
      if (r > 0) calls += ", ";
      if (run.times > 1) calls += "{\"times\": " + std::to_string(run.times) + ", \"calls\": [";
      for (std::size_t c = 0; c < run.calls.size(); ++c)
        AppendJsonString(calls += c > 0 ? ", " : "", run.calls[c]);
      if (run.times > 1) calls += "]}";
    }
    calls += ']';
    step.Close();
  }
  steps.Close();
  AppendJsonString(explanation.Key("reason"), e.reason);
  explanation.Close();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
