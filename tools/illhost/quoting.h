// Input shown back to the user, made safe for a terminal: control characters, bytes that are
// not UTF-8 and characters that reorder text are written as escapes, never raw.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

// `text` with each control character written as an escape (\n, \r, \t, \x1b, ...), each byte
// that is not part of valid UTF-8 as \xNN, and each C1 control or bidirectional-formatting
// character as \uNNNN. Everything else, multi-byte UTF-8 included, is kept as it is.
std::string EscapeControls(std::string_view text);
// The same, appended to `out`: for output that escapes many cells into one buffer.
void AppendEscaped(std::string& out, std::string_view text);

// `text` escaped as above and also for backslashes and double quotes, in double quotes; when
// the escaped text is longer than `limit` bytes it is cut at a character and ends with "…".
std::string QuoteInput(std::string_view text, std::size_t limit = 80);

}  // namespace illhost
