// The table that people read: one row per track, columns as wide as their widest cell in
// terminal columns, every cell escaped so that no input can move the cursor or split a row.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <vector>

#include "driver.h"

namespace illhost {

// Cells longer than this many columns are cut with "…" unless the table is wide.
constexpr std::size_t kCellColumns = 40;

void PrintTable(std::ostream& out, std::vector<TrackResult> const& results, bool wide);

}  // namespace illhost
