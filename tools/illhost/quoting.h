// Text made safe in one place: for a person, escaped for a terminal, measured in terminal
// columns and cut between grapheme clusters; for a tool, written whole as a JSON string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

constexpr std::size_t kWhole = std::string_view::npos;

// How much AppendShown escapes. kText: what a terminal would act on or not show, and the
// backslash, so that an escape can be told from the same characters typed. kQuoted: also the
// double quote. kMessage: a message's own text, whose values were escaped as it was made; a
// backslash there is one that an escape made, and stays.
enum class Escaping { kMessage, kText, kQuoted };

// Appends `text` escaped as `escaping` says: \n, \r, \t, \xNN for other controls and bytes that
// are not UTF-8, \uNNNN or \UNNNNNNNN for C1 controls, format characters (reordering,
// zero-width, tags outside a flag), line and paragraph separators and every character that shows
// nothing (default-ignorable code points, spaces other than U+0020, the braille blank), and for
// every character that is not ASCII where the terminal's character set is not UTF-8 (see
// SetTerminalUtf8). When it takes more than `columns` columns it is cut at a grapheme cluster
// and ends with "…". Returns the columns appended: two for a wide character or a joined emoji,
// none for a combining mark.
std::size_t AppendShown(std::string& out, std::string_view text, std::size_t columns = kWhole,
                        Escaping escaping = Escaping::kText);

// Whether the terminal's character set is UTF-8 (so it is taken to be until said otherwise);
// where it is not, terminal text keeps only ASCII and escapes the rest.
void SetTerminalUtf8(bool utf8);

// The whole of `text` escaped, for messages and file names.
inline std::string EscapeControls(std::string_view text) {
  std::string out;
  return AppendShown(out, text), out;
}

// `text` escaped, also for backslashes and quotes, in double quotes, cut at `limit` columns.
inline std::string QuoteInput(std::string_view text, std::size_t limit = 80) {
  std::string out = "\"";
  return AppendShown(out, text, limit, Escaping::kQuoted), out += '"';
}

// `text` as a JSON string, whole, for --json, --explain --json and --save: quotes, backslashes,
// \n, \r and \t escaped, other controls as \u00XX, UTF-8 kept, each byte that is not UTF-8 as
// \ufffd so that the output stays JSON.
void AppendJsonString(std::string& out, std::string_view text);

// A file name as a JSON string that keeps its bytes: each byte that is not UTF-8 is written as
// the text \xNN and a backslash as \\ (then JSON's own escaping applies), so that distinct
// names stay distinct and the bytes can be had back.
void AppendJsonFileName(std::string& out, std::string_view name);

}  // namespace illhost
