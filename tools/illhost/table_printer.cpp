#include "table_printer.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <string>

#include "name_types.h"
#include "quoting.h"
#include "terminal_text.h"

namespace illhost {
namespace {

constexpr std::size_t kColumns = 8;
constexpr std::array<char const*, kColumns> kHeadings = {
    "track", "target", "was", "now", "shown name", "follows", "description", "selection item"};
constexpr char kGap[] = "  ";
constexpr std::size_t kFlushAt = 1 << 16;

// The raw text of each cell of a row; escaped and cut when laid out.
std::array<std::string_view, kColumns> Cells(TrackResult const& r,
                                             std::array<std::string, 2>& labels) {
  labels[0] = NameTypeLabel(r.nameTypeBefore);
  labels[1] = NameTypeLabel(r.nameType);
  return {
      r.id,          r.target.empty() ? std::string_view("-") : std::string_view(r.target),
      labels[0],     labels[1],
      r.shownName,   r.usesTargetName ? "yes" : "no",
      r.description, r.selectionItem ? std::string_view(*r.selectionItem) : std::string_view("-")};
}

class Layout {
 public:
  explicit Layout(bool wide) : limit_(wide ? std::string::npos : kCellColumns) {
    for (std::size_t c = 0; c < kColumns; ++c) widths_[c] = TerminalColumns(kHeadings[c]);
  }

  void Measure(std::array<std::string_view, kColumns> const& cells) {
    for (std::size_t c = 0; c < kColumns; ++c) {
      scratch_.clear();
      AppendEscaped(scratch_, cells[c]);
      widths_[c] = std::max(widths_[c], std::min(TerminalColumns(scratch_), limit_));
    }
  }

  // Appends one row, each cell padded to its column but the last.
  void Append(std::string& line, std::array<std::string_view, kColumns> const& cells) {
    for (std::size_t c = 0; c < kColumns; ++c) {
      scratch_.clear();
      AppendEscaped(scratch_, cells[c]);
      std::size_t const used = AppendCut(line, scratch_, limit_);
      if (c + 1 < kColumns) {
        line.append(widths_[c] - used, ' ');
        line += kGap;
      }
    }
    line += '\n';
  }

 private:
  std::size_t limit_;
  std::array<std::size_t, kColumns> widths_{};
  std::string scratch_;
};

}  // namespace

void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide) {
  Layout layout(wide);
  std::array<std::string, 2> labels;
  for (auto const& r : results) layout.Measure(Cells(r, labels));
  std::string text;
  std::array<std::string_view, kColumns> headings{};
  std::copy(kHeadings.begin(), kHeadings.end(), headings.begin());
  layout.Append(text, headings);
  for (auto const& r : results) {
    layout.Append(text, Cells(r, labels));
    if (text.size() >= kFlushAt) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      text.clear();
    }
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace illhost
