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

// Appends the text that stands for one character in an escaped text.
void AppendEscape(std::string& out, std::string_view text, Character const& c, std::size_t at,
                  bool quoting) {
  if (!c.valid) {
    out += Hex("\\x%02x", c.codePoint);
    return;
  }
  switch (c.codePoint) {
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    case '\\':
      out += quoting ? "\\\\" : "\\";
      return;
    case '"':
      out += quoting ? "\\\"" : "\"";
      return;
    default:
      break;
  }
  if (c.codePoint < 0x20 || c.codePoint == 0x7F) {
    out += Hex("\\x%02x", c.codePoint);
  } else if ((c.codePoint >= 0x80 && c.codePoint <= 0x9F) || ReordersText(c.codePoint)) {
    out += Hex("\\u%04x", c.codePoint);
  } else {
    out.append(text.substr(at, c.length));
  }
}

bool PlainByte(char c, bool quoting) {
  auto const byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x7F && (!quoting || (c != '\\' && c != '"'));
}

// Appends `text` escaped; stops with "…" before the escaped text would pass `limit` bytes.
void AppendEscaped(std::string& out, std::string_view text, bool quoting, std::size_t limit) {
  std::size_t const start = out.size();
  for (std::size_t at = 0; at < text.size();) {
    // Runs of printable ASCII, the common case, are copied whole.
    std::size_t plain = at;
    while (plain < text.size() && PlainByte(text[plain], quoting)) ++plain;
    if (plain > at) {
      std::size_t const room =
          limit == std::string::npos ? plain - at : limit - (out.size() - start);
      if (plain - at > room) {
        out.append(text.substr(at, room));
        out += "…";
        return;
      }
      out.append(text.substr(at, plain - at));
      at = plain;
      continue;
    }
    Character const c = Decode(text, at);
    std::size_t const before = out.size();
    AppendEscape(out, text, c, at, quoting);
    if (limit != std::string::npos && out.size() - start > limit) {
      out.resize(before);
      out += "…";
      return;
    }
    at += c.length;
  }
}

}  // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  AppendEscaped(out, text, false, std::string::npos);
  return out;
}

void AppendEscaped(std::string& out, std::string_view text) {
  AppendEscaped(out, text, false, std::string::npos);
}

std::string QuoteInput(std::string_view text, std::size_t limit) {
  std::string out = "\"";
  AppendEscaped(out, text, true, limit);
  out += '"';
  return out;
}

}  // namespace illhost
