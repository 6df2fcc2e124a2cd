#include "explain_printer.h"

#include <algorithm>
#include <ostream>

#include "json_text.h"
#include "name_types.h"
#include "quoting.h"
#include "terminal_text.h"

namespace illhost {
namespace {

std::string Call(StepRecord const& step) {
  std::string call = step.step;
  if (!step.argument.empty()) call += " " + step.argument;
  if (!step.result.empty()) call += " -> " + step.result;
  return call;
}

std::string Transition(StepRecord const& step) {
  std::string const before = step.nameTypeBefore ? NameTypeLabel(step.nameTypeBefore) : "(none)";
  return before + " -> " + NameTypeLabel(step.nameTypeAfter);
}

// Host calls one a line, a call repeated in a row counted once.
void AppendHostCalls(std::string& text, std::vector<std::string> const& calls) {
  for (std::size_t i = 0; i < calls.size();) {
    std::size_t same = i + 1;
    while (same < calls.size() && calls[same] == calls[i]) ++same;
    text += i == 0 ? "       host: " : "             ";
    AppendEscaped(text, calls[i]);
    if (same - i > 1) text += " (" + std::to_string(same - i) + " times)";
    text += '\n';
    i = same;
  }
}

void AppendJsonText(std::string& out, std::string const& text) {
  if (text.empty())
    out += "null";
  else
    AppendJsonString(out, text);
}

}  // namespace

void PrintExplanation(std::ostream& out, Explanation const& e) {
  std::string text =
      "track " + QuoteInput(e.track) + ", step by step (name type before -> after):\n";
  std::vector<std::string> calls;
  std::size_t width = 0;
  for (auto const& step : e.steps) {
    calls.push_back(Call(step));
    width = std::max(width, std::min(TerminalColumns(calls.back()), std::size_t{60}));
  }
  for (std::size_t i = 0; i < e.steps.size(); ++i) {
    std::string const number = std::to_string(i + 1) + ".";
    text += std::string(4 - std::min<std::size_t>(number.size(), 3), ' ') + number + " ";
    std::size_t const used = TerminalColumns(calls[i]);
    text += calls[i];
    text.append(used < width ? width - used : 0, ' ');
    text += "  " + Transition(e.steps[i]) + "\n";
    AppendHostCalls(text, e.steps[i].hostCalls);
  }
  text += "why: " + e.reason + "\n";
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

void PrintExplanationJson(std::ostream& out, Explanation const& e, int indent) {
  std::string text;
  JsonObject explanation(text, indent);
  AppendJsonString(explanation.Key("track"), e.track);
  explanation.Key("steps") += '[';
  for (std::size_t i = 0; i < e.steps.size(); ++i) {
    StepRecord const& s = e.steps[i];
    text += i == 0 ? "\n" : ",\n";
    AppendIndent(text, indent + 4);
    JsonObject step(text, indent + 4);
    AppendJsonString(step.Key("step"), s.step);
    AppendJsonText(step.Key("argument"), s.argument);
    AppendJsonText(step.Key("result"), s.result);
    AppendJsonInteger(step.Key("name_type_before"), s.nameTypeBefore);
    AppendJsonInteger(step.Key("name_type_after"), s.nameTypeAfter);
    std::string& calls = step.Key("host_calls");
    calls += '[';
    for (std::size_t c = 0; c < s.hostCalls.size(); ++c) {
      if (c > 0) calls += ", ";
      AppendJsonString(calls, s.hostCalls[c]);
    }
    calls += ']';
    step.Close();
  }
  if (!e.steps.empty()) {
    text += '\n';
    AppendIndent(text, indent + 2);
  }
  text += ']';
  AppendJsonString(explanation.Key("reason"), e.reason);
  explanation.Close();
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
