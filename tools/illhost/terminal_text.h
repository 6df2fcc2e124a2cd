// How much room UTF-8 text takes on a terminal, and cutting it to a room.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace illhost {

// Terminal columns that `text` takes: two for a wide (East Asian) character, none for a
// combining mark, one for anything else, a byte that is not UTF-8 included.
std::size_t TerminalColumns(std::string_view text);

// Appends `text` to `out`, cut to at most `columns` columns with "…" as the last column when
// it does not fit; returns the columns appended.
std::size_t AppendCut(std::string& out, std::string_view text, std::size_t columns);

}  // namespace illhost
