#include "json_text.h"

#include <ostream>

namespace illhost {

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  auto const byte = [&](std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  unsigned const lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    low = lead == 0xE0 ? 0xA0 : low;
    high = lead == 0xED ? 0x9F : high;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    low = lead == 0xF0 ? 0x90 : low;
    high = lead == 0xF4 ? 0x8F : high;
  } else {
    return 0;
  }
  if (byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if ((byte(at + i) & 0xC0u) != 0x80u) return 0;
  return length;
}

void WriteJsonString(std::ostream& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out << '"';
  std::size_t plain = 0;  // start of the bytes not yet written
  for (std::size_t at = 0; at < text.size();) {
    auto const c = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    char const* escape = nullptr;
    char control[7] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15], '\0'};
    if (c == '"') {
      escape = "\\\"";
    } else if (c == '\\') {
      escape = "\\\\";
    } else if (c == '\n') {
      escape = "\\n";
    } else if (c == '\t') {
      escape = "\\t";
    } else if (c == '\r') {
      escape = "\\r";
    } else if (c < 0x20) {
      escape = control;
    } else if (c >= 0x80) {
      length = Utf8CharacterLength(text, at);
      if (length == 0) escape = "\\ufffd", length = 1;
    }
    if (escape) {
      out.write(text.data() + plain, static_cast<std::streamsize>(at - plain));
      out << escape;
      plain = at + length;
    }
    at += length;
  }
  out.write(text.data() + plain, static_cast<std::streamsize>(text.size() - plain));
  out << '"';
}

}  // namespace illhost
