#include "quoting.h"

#include <cstdint>
#include <cstdio>

namespace illhost {

namespace {

// One character of the text: its bytes and, for valid UTF-8, its code point.
struct Character {
  std::size_t length;
  std::uint32_t codePoint;
  bool valid;
};

Character Decode(std::string_view text, std::size_t at) {
  auto const byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char const lead = byte(at);
  if (lead < 0x80) return {1, lead, true};
  std::size_t length = 0;
  std::uint32_t codePoint = 0;
  std::uint32_t minimum = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1Fu, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, codePoint = lead & 0x0Fu, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07u, minimum = 0x10000;
  } else {
    return {1, lead, false};
  }
  if (at + length > text.size()) return {1, lead, false};
  for (std::size_t i = 1; i < length; ++i) {
    unsigned char const next = byte(at + i);
    if ((next & 0xC0u) != 0x80u) return {1, lead, false};
    codePoint = (codePoint << 6) | (next & 0x3Fu);
  }
  bool const surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
  if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return {1, lead, false};
  return {length, codePoint, true};
}

bool ReordersText(std::uint32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::string Hex(char const* format, std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned>(value));
  return buffer;
}

// The text that stands for one character in an escaped text.
std::string Escape(std::string_view text, Character const& c, std::size_t at, bool quoting) {
  if (!c.valid) return Hex("\\x%02x", c.codePoint);
  switch (c.codePoint) {
    case '\n':
      return "\\n";
    case '\r':
      return "\\r";
    case '\t':
      return "\\t";
    case '\\':
      return quoting ? "\\\\" : "\\";
    case '"':
      return quoting ? "\\\"" : "\"";
    default:
      break;
  }
  if (c.codePoint < 0x20 || c.codePoint == 0x7F) return Hex("\\x%02x", c.codePoint);
  if ((c.codePoint >= 0x80 && c.codePoint <= 0x9F) || ReordersText(c.codePoint))
    return Hex("\\u%04x", c.codePoint);
  return std::string(text.substr(at, c.length));
}

std::string Escaped(std::string_view text, bool quoting, std::size_t limit) {
  std::string out;
  for (std::size_t at = 0; at < text.size();) {
    Character const c = Decode(text, at);
    std::string piece = Escape(text, c, at, quoting);
    if (out.size() + piece.size() > limit) return out + "…";
    out += piece;
    at += c.length;
  }
  return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  return Escaped(text, false, std::string::npos);
}

std::string QuoteInput(std::string_view text, std::size_t limit) {
  return '"' + Escaped(text, true, limit) + '"';
}

}  // namespace illhost
