#include "name_types.h"

namespace illhost {

char const kNameTypeLegend[] =
    "name types (columns \"was\", just before GetTargetDescription, and \"now\", after it):\n"
    "  own         0  the track's own name, kept whatever its target is called\n"
    "  target      1  follows its target: \"shown name\" is the display name as the host last\n"
    "                 refreshed it, which can lag the target (the sample's t-quiet and\n"
    "                 t-old-ebom), and \"description\" the text the module gives for the\n"
    "                 target now\n"
    "  default     2  came with the target but does not follow it\n"
    "  unresolved  3  not classified yet: the next description tries again\n"
    "  a number       a stored value outside these four, kept as stored\n"
    "  -              no name type at all\n";

std::string NameTypeLabel(std::optional<std::int64_t> const& type) {
  if (!type) return "-";
  switch (*type) {
    case 0:
      return "own";
    case 1:
      return "target";
    case 2:
      return "default";
    case 3:
      return "unresolved";
    default:
      return std::to_string(*type);
  }
}

}  // namespace illhost
