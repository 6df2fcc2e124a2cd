// Text made safe in one place: for a person, escaped for a terminal, measured in terminal
// columns and cut between grapheme clusters; for a tool, written whole as a JSON string.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

constexpr std::size_t kWhole = std::string_view::npos;

// Appends `text` with what a terminal would act on or not show escaped: \n, \r, \t, \xNN for
// other controls and bytes that are not UTF-8, \uNNNN or \UNNNNNNNN for C1 controls, format
// characters (reordering, zero-width, tags outside a flag) and line and paragraph separators;
// `quoting` also escapes backslashes and double quotes. When it takes more than `columns`
// columns it is cut at a grapheme cluster and ends with "…". Returns the columns appended: two
// for a wide character or a joined emoji, none for a combining mark.
std::size_t AppendShown(std::string& out, std::string_view text, std::size_t columns = kWhole,
                        bool quoting = false);

// The whole of `text` escaped, for messages and file names.
inline std::string EscapeControls(std::string_view text) {
  std::string out;
  return AppendShown(out, text), out;
}

// `text` escaped, also for backslashes and quotes, in double quotes, cut at `limit` columns.
inline std::string QuoteInput(std::string_view text, std::size_t limit = 80) {
  std::string out = "\"";
  return AppendShown(out, text, limit, true), out += '"';
}

// `text` as a JSON string, whole, for --json, --explain --json and --save: quotes, backslashes,
// \n, \r and \t escaped, other controls as \u00XX, UTF-8 kept, each byte that is not UTF-8 as
// \ufffd so that the output stays JSON.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace illhost
