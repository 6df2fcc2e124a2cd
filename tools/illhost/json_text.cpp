#include "json_text.h"

#include <utf8proc.h>

#include <ostream>

namespace illhost {

std::size_t Utf8CharacterLength(std::string_view text, std::size_t at) {
  utf8proc_int32_t c;
  utf8proc_ssize_t const n =
      utf8proc_iterate(reinterpret_cast<utf8proc_uint8_t const*>(text.data() + at),
                       static_cast<utf8proc_ssize_t>(text.size() - at), &c);
  return n > 0 ? static_cast<std::size_t>(n) : 0;
}

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  std::size_t plain = 0;  // start of the bytes not yet written
  for (std::size_t at = 0; at < text.size();) {
    auto const c = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    char escape[7] = {'\\', static_cast<char>(c), '\0', '0', kHex[c >> 4], kHex[c & 15], '\0'};
    if (c == '\n' || c == '\r' || c == '\t') {
      escape[1] = c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
    } else if (c < 0x20) {
      escape[1] = 'u', escape[2] = '0';
    } else if (c >= 0x80) {
      length = Utf8CharacterLength(text, at);
      if (length > 0) {
        at += length;
        continue;
      }
      length = 1;
      std::string_view("\\ufffd").copy(escape, 6);
    } else if (c != '"' && c != '\\') {
      ++at;
      continue;
    }
    out.append(text.substr(plain, at - plain));
    out += escape;
    plain = at += length;
  }
  out.append(text.substr(plain));
  out += '"';
}

void WriteJsonString(std::ostream& out, std::string_view text) {
  static thread_local std::string buffer;
  buffer.clear();
  AppendJsonString(buffer, text);
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

void AppendJsonInteger(std::string& out, std::optional<std::int64_t> const& value) {
  out += value ? std::to_string(*value) : "null";
}

JsonObject::JsonObject(std::string& out, int indent, char open)
    : out_(out), indent_(indent), close_(open == '[' ? ']' : '}') {
  out_ += open;
}

std::string& JsonObject::Item() {
  out_ += first_ ? "\n" : ",\n";
  first_ = false;
  out_.append(static_cast<std::size_t>(indent_) + 2, ' ');
  return out_;
}

std::string& JsonObject::Key(std::string_view key) {
  AppendJsonString(Item(), key);
  return out_ += ": ";
}

void JsonObject::Close() {
  if (!first_) {
    out_.append(1, '\n').append(static_cast<std::size_t>(indent_), ' ');
  }
  out_ += close_;
}

}  // namespace illhost
