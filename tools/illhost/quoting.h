// Text made safe in one place: for a person, escaped for a terminal, measured in terminal
// columns and cut between grapheme clusters; for a tool, written whole as a JSON string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

constexpr std::size_t kWhole = std::string_view::npos;

// kText also escapes the backslash, so that an escape can be told from the same characters
// typed; kQuoted also the double quote. kMessage is a message's own text, whose values were
// escaped as it was made: a backslash there is one that an escape made, and stays.
enum class Escaping { kMessage, kText, kQuoted };

// Appends `text` with what a terminal would act on or not show escaped, cut at a grapheme
// cluster with "…" when it takes more than `columns` columns; returns the columns appended.
std::size_t AppendShown(std::string& out, std::string_view text, std::size_t columns = kWhole,
                        Escaping escaping = Escaping::kText);

// Where the terminal's character set is not UTF-8, terminal text keeps to ASCII.
void SetTerminalUtf8(bool utf8);

inline std::string EscapeControls(std::string_view text) {
  std::string out;
  return AppendShown(out, text), out;
}

inline std::string QuoteInput(std::string_view text, std::size_t limit = 80) {
  std::string out = "\"";
  return AppendShown(out, text, limit, Escaping::kQuoted), out += '"';
}

// Each byte that is not UTF-8 is written as \ufffd, so that the output stays JSON.
void AppendJsonString(std::string& out, std::string_view text);

// A file name keeps its bytes: each byte that is not UTF-8 is written as the text \xNN and a
// backslash as \\ (then JSON's own escaping applies), so that distinct names stay distinct.
void AppendJsonFileName(std::string& out, std::string_view name);

}  // namespace illhost
