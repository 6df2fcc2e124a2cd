#include "json_text.h"

#include <ostream>
#include <string>

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

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kHex[] = "0123456789abcdef";

void AppendControl(std::string& out, unsigned char c) {
  switch (c) {
    case '\b':
      out += "\\b";
      return;
    case '\f':
      out += "\\f";
      return;
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
  }
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t at = 0; at < text.size();) {
    auto const c = static_cast<unsigned char>(text[at]);
    if (c >= 0x80) {
      std::size_t const length = Utf8CharacterLength(text, at);
      if (length == 0) {
        out += kReplacement;
        ++at;
      } else {
        out.append(text.substr(at, length));
        at += length;
      }
      continue;
    }
    if (c < 0x20)
      AppendControl(out, c);
    else if (c == '"' || c == '\\')
      (out += '\\') += static_cast<char>(c);
    else
      out += static_cast<char>(c);
    ++at;
  }
  out += '"';
}

void AppendJsonInteger(std::string& out, std::optional<std::int64_t> const& value) {
  out += value ? std::to_string(*value) : "null";
}

JsonObject::JsonObject(std::string& out, int indent) : out_(out), indent_(indent) { out_ += '{'; }

std::string& JsonObject::Key(char const* key) {
  out_ += first_ ? "\n" : ",\n";
  first_ = false;
  AppendIndent(out_, indent_ + 2);
  out_ += '"';
  out_ += key;
  out_ += "\": ";
  return out_;
}

void JsonObject::Close() {
  if (!first_) {
    out_ += '\n';
    AppendIndent(out_, indent_);
  }
  out_ += '}';
}

void AppendIndent(std::string& out, int spaces) {
  out.append(static_cast<std::size_t>(spaces), ' ');
}

}  // namespace illhost
