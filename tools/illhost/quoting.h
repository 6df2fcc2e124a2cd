// Text shown to a person, made safe for a terminal in one place: control characters (C0, C1),
// characters that reorder text, zero-width and other invisible format characters, line and
// paragraph separators, tag characters and bytes that are not UTF-8 are written as escapes,
// never raw; text is cut between grapheme clusters and measured in terminal columns.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

constexpr std::size_t kWhole = std::string_view::npos;

// Appends `text` escaped: \n, \r, \t, \xNN for other ASCII controls and for bytes that are not
// UTF-8, \uNNNN (\UNNNNNNNN above U+FFFF) for the other characters named above; `quoting` also
// escapes backslashes and double quotes. When the escaped text takes more than `columns`
// terminal columns it is cut at a grapheme cluster and ends with "…". Returns the columns
// appended: a wide character or a joined emoji takes two, a combining mark none.
std::size_t AppendShown(std::string& out, std::string_view text, std::size_t columns = kWhole,
                        bool quoting = false);

// The whole of `text` escaped, for messages and file names.
std::string EscapeControls(std::string_view text);

// `text` escaped, also for backslashes and quotes, in double quotes, cut at `limit` columns.
std::string QuoteInput(std::string_view text, std::size_t limit = 80);

}  // namespace illhost
