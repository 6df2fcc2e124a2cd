#include "json_text.h"

#include <utf8proc.h>

namespace illhost {
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
      utf8proc_int32_t codePoint = 0;
      utf8proc_ssize_t const length =
          utf8proc_iterate(reinterpret_cast<utf8proc_uint8_t const*>(text.data() + at),
                           static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
      if (length <= 0) {
        out += kReplacement;
        ++at;
      } else {
        out.append(text.substr(at, static_cast<std::size_t>(length)));
        at += static_cast<std::size_t>(length);
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
