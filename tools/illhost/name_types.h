// Name types, said once: the value a track saves, the word shown for it and what a name of that
// type is; the table, --explain and --help's legend (and so the manual page) all take them here.
#pragma once

#include <cstdint>
#include <optional>

namespace illhost {

struct NameType {
  std::int64_t value;
  char const *word, *meaning;
};
inline constexpr NameType kNameTypes[] = {
    {0, "own", "a name of the track's own, kept whatever its target is called"},
    {1, "target", "a name that follows its target"},
    {2, "default", "a name that came with the target but does not follow it"},
    {3, "unresolved", "a name not classified yet; the next description tries again"}};
inline constexpr NameType const& kUnresolved = kNameTypes[3];
// Any other stored value is kept and shown as its number; no name type at all as "-".
inline constexpr char kOtherNameType[] = "a stored value outside these four, kept as stored";
inline constexpr char kNoNameType[] = "the track saves no name type at all";

// The row of `type`; none for a value outside the table or no name type.
inline NameType const* FindNameType(std::optional<std::int64_t> const& type) {
  for (NameType const& row : kNameTypes)
    if (type == row.value) return &row;
  return nullptr;
}

}  // namespace illhost
