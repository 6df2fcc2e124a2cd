// The words that illhost shows for a track's name type.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace illhost {

// "own" (0), "target" (1), "default" (2), "unresolved" (3), the number for any other value,
// "-" where the track saves no name type at all.
std::string NameTypeLabel(std::optional<std::int64_t> const& type);

// The legend of those words, for --help and the documentation; one line per name type.
extern char const kNameTypeLegend[];

}  // namespace illhost
