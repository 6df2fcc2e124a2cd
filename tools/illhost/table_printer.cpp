#include <algorithm>
#include <array>
#include <ostream>
#include <string>

#include "name_types.h"
#include "output.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr std::size_t kColumns = 8;
using Row = std::array<std::string_view, kColumns>;
constexpr Row kHeadings = {"track",      "target",  "was",         "now",
                           "shown name", "follows", "description", "selection item"};

// The raw text of each cell of a row; escaped and cut when laid out.
Row Cells(TrackResult const& r, std::array<std::string, 2>& labels) {
  labels[0] = NameTypeLabel(r.nameTypeBefore);
  labels[1] = NameTypeLabel(r.nameType);
  return {r.id,          r.target.empty() ? "-" : std::string_view(r.target),
          labels[0],     labels[1],
          r.shownName,   r.usesTargetName ? "yes" : "no",
          r.description, r.selectionItem ? std::string_view(*r.selectionItem) : "-"};
}

}  // namespace

void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide) {
  std::size_t const limit = wide ? kWhole : kCellColumns;
  std::array<std::size_t, kColumns> widths{};
  std::array<std::string, 2> labels;
  std::string line;
  for (std::size_t c = 0; c < kColumns; ++c) widths[c] = kHeadings[c].size();
  for (auto const& r : results) {
    Row const cells = Cells(r, labels);
    for (std::size_t c = 0; c < kColumns; ++c) {
      line.clear();
      widths[c] = std::max(widths[c], AppendShown(line, cells[c], limit));
    }
  }
  // Each cell padded to its column but the last, a row written at a time.
  auto const print = [&](Row const& cells) {
    line.clear();
    for (std::size_t c = 0; c < kColumns; ++c) {
      std::size_t const used = AppendShown(line, cells[c], limit);
      if (c + 1 < kColumns) line.append(widths[c] - used + 2, ' ');
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  };
  print(kHeadings);
  for (auto const& r : results) print(Cells(r, labels));
}

}  // namespace illhost
