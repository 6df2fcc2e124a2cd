// Test cases kept as tab-separated rows: one case a line, '#' lines and blank lines skipped.
#pragma once

#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace test_rows {

using Row = std::vector<std::string>;

// Calls `each` with the fields of every row of `path`; gives back how many rows there were.
inline int ForEachRow(std::string const& path, std::function<void(Row const&)> const& each) {
  std::ifstream table(path);
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    Row fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    if (line.back() == '\t') fields.emplace_back();
    each(fields);
    ++rows;
  }
  return rows;
}

// The bytes a cell stands for: \xNN is the byte NN, \u{N} the UTF-8 of code point N (hex),
// \\ one backslash.
inline std::string Unescaped(std::string const& cell) {
  std::string bytes;
  for (std::size_t i = 0; i < cell.size(); ++i) {
    std::size_t end = cell.find('}', i);
    if (cell.compare(i, 2, "\\\\") == 0) {
      bytes += cell[i++];
    } else if (cell.compare(i, 2, "\\x") == 0 && i + 4 <= cell.size()) {
      bytes += static_cast<char>(std::stoi(cell.substr(i + 2, 2), nullptr, 16));
      i += 3;
    } else if (cell.compare(i, 3, "\\u{") == 0 && end != std::string::npos) {
      auto const c =
          static_cast<unsigned>(std::stoul(cell.substr(i + 3, end - i - 3), nullptr, 16));
      int const tail = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
      bytes +=
          static_cast<char>(tail == 0 ? c : ((0xFF00u >> (tail + 1)) & 0xFF) | (c >> (6 * tail)));
      for (int k = tail - 1; k >= 0; --k)
        bytes += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
      i = end;
    } else {
      bytes += cell[i];
    }
  }
  return bytes;
}

}  // namespace test_rows
