#include "terminal_text.h"

#include <utf8proc.h>

namespace illhost {
namespace {

constexpr char kEllipsis[] = "…";

struct Glyph {
  std::size_t bytes;
  std::size_t columns;
};

Glyph Next(std::string_view text, std::size_t at) {
  auto const byte = static_cast<unsigned char>(text[at]);
  if (byte < 0x80) return {1, 1};
  utf8proc_int32_t codePoint = 0;
  auto const* start = reinterpret_cast<utf8proc_uint8_t const*>(text.data() + at);
  utf8proc_ssize_t const length =
      utf8proc_iterate(start, static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
  if (length <= 0) return {1, 1};
  int const width = utf8proc_charwidth(codePoint);
  return {static_cast<std::size_t>(length), width < 0 ? 1u : static_cast<std::size_t>(width)};
}

}  // namespace

std::size_t TerminalColumns(std::string_view text) {
  std::size_t columns = 0;
  for (std::size_t at = 0; at < text.size();) {
    Glyph const g = Next(text, at);
    columns += g.columns;
    at += g.bytes;
  }
  return columns;
}

std::size_t AppendCut(std::string& out, std::string_view text, std::size_t columns) {
  std::size_t const start = out.size();
  std::size_t used = 0;
  // Where the text stands when one column is left for the ellipsis.
  std::size_t cutBytes = 0;
  std::size_t cutColumns = 0;
  for (std::size_t at = 0; at < text.size();) {
    Glyph const g = Next(text, at);
    if (used + g.columns > columns) {
      out.resize(start + cutBytes);
      if (columns > 0) out += kEllipsis;
      return cutColumns + (columns > 0 ? 1 : 0);
    }
    out.append(text.substr(at, g.bytes));
    used += g.columns;
    at += g.bytes;
    if (used + 1 <= columns) {
      cutBytes = out.size() - start;
      cutColumns = used;
    }
  }
  return used;
}

}  // namespace illhost
