// What illhost says on standard error: one line per failure or warning, "illhost: " first,
// control characters escaped and the line cut, whatever text it quotes.
#pragma once

#include <string_view>

namespace illhost {

void ReportError(std::string_view message);
void ReportWarning(std::string_view message);
// For when memory has run out: writes a fixed line without allocating.
void ReportOutOfMemory();

}  // namespace illhost
