#include "quoting.h"

#include <utf8proc.h>

#include <algorithm>

namespace illhost {
namespace {

constexpr char kHex[] = "0123456789abcdef";

bool g_terminalUtf8 = true;

struct CodePoint {
  utf8proc_int32_t value;
  std::size_t length;  // 0 where the bytes at that place are not UTF-8
};

CodePoint Decode(std::string_view text, std::size_t at) {
  utf8proc_int32_t value = -1;
  utf8proc_ssize_t const n =
      utf8proc_iterate(reinterpret_cast<utf8proc_uint8_t const*>(text.data() + at),
                       static_cast<utf8proc_ssize_t>(text.size() - at), &value);
  return {value, n > 0 ? static_cast<std::size_t>(n) : 0};
}

// What a terminal would act on or show as nothing.
bool Invisible(utf8proc_int32_t c) {
  auto const k = utf8proc_category(c);
  return k == UTF8PROC_CATEGORY_CC || k == UTF8PROC_CATEGORY_CF || k == UTF8PROC_CATEGORY_ZL ||
         k == UTF8PROC_CATEGORY_ZP || k == UTF8PROC_CATEGORY_CS || k == UTF8PROC_CATEGORY_CN ||
         (k == UTF8PROC_CATEGORY_ZS && c != ' ') || c == 0x2800 ||
         utf8proc_get_property(c)->ignorable;
}

bool Plain(utf8proc_int32_t c, Escaping escaping) {
  return c >= 0x20 && c < 0x7F && !(escaping != Escaping::kMessage && c == '\\') &&
         !(escaping == Escaping::kQuoted && c == '"');
}

void AppendEscape(std::string& out, utf8proc_int32_t c, bool byte = false) {
  out += '\\';
  if (c == '\n' || c == '\r' || c == '\t' || c == '\\' || c == '"') {
    out += c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\t' ? 't' : static_cast<char>(c);
    return;
  }
  out += byte || c < 0x80 ? 'x' : c <= 0xFFFF ? 'u' : 'U';
  for (int shift = out.back() == 'x' ? 4 : out.back() == 'u' ? 12 : 28; shift >= 0; shift -= 4)
    out += kHex[(c >> shift) & 0xF];
}

// Returns where the cluster ends. In an emoji the joiners, and the tags of a flag, are part of
// the picture and stay raw.
std::size_t AppendCluster(std::string& out, std::string_view text, std::size_t at,
                          Escaping escaping, std::size_t& width) {
  CodePoint c = Decode(text, at);
  width = 0;
  if (c.length == 0) {
    AppendEscape(out, static_cast<unsigned char>(text[at]), true);
    width = 4;
    return at + 1;
  }
  utf8proc_int32_t const first = c.value;
  utf8proc_int32_t state = 0;
  auto const boundary = utf8proc_get_property(first)->boundclass;
  bool const emoji = boundary == UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC ||
                     boundary == UTF8PROC_BOUNDCLASS_E_ZWG ||
                     boundary == UTF8PROC_BOUNDCLASS_REGIONAL_INDICATOR;
  bool escaped = false;
  std::size_t end = at, count = 1;
  for (;; ++count) {
    // A variation selector after a visible character chooses how that character looks.
    bool const joins =
        c.value == 0x200D || (first == 0x1F3F4 && c.value >= 0xE0020 && c.value <= 0xE007F) ||
        (count > 1 && first > ' ' && !Invisible(first) &&
         ((c.value >= 0xFE00 && c.value <= 0xFE0F) || (c.value >= 0xE0100 && c.value <= 0xE01EF)));
    bool const invisible = Invisible(c.value) && !(joins && (emoji || c.value != 0x200D));
    // Marks stacked past any real character's need are escaped, so that width bounds length.
    if (invisible || count > 32 || (c.value >= 0x80 && !g_terminalUtf8) ||
        (c.value < 0x80 && !Plain(c.value, escaping))) {
      std::size_t const before = out.size();
      AppendEscape(out, c.value);
      width += out.size() - before;
      escaped = true;
    } else {
      out.append(text.substr(end, c.length));
      width += static_cast<std::size_t>(utf8proc_charwidth(c.value));
    }
    end += c.length;
    CodePoint const next = end < text.size() ? Decode(text, end) : CodePoint{0, 0};
    if (next.length == 0 || utf8proc_grapheme_break_stateful(c.value, next.value, &state)) break;
    c = next;
  }
  if (emoji && count > 1 && !escaped) width = 2;
  return end;
}

// Printable ASCII, the common case, is taken whole; its last character is left to the cluster
// path when what follows may join it.
std::size_t PlainRun(std::string_view text, std::size_t at, Escaping escaping) {
  std::size_t plain = at;
  while (plain < text.size() && Plain(static_cast<unsigned char>(text[plain]), escaping)) ++plain;
  bool const joined = plain < text.size() && static_cast<unsigned char>(text[plain]) >= 0x80;
  return plain - (joined && plain > at);
}

}  // namespace

void SetTerminalUtf8(bool utf8) { g_terminalUtf8 = utf8; }

std::size_t AppendShown(std::string& out, std::string_view text, std::size_t columns,
                        Escaping escaping) {
  std::string_view const mark = g_terminalUtf8 ? "…" : "...";
  std::size_t const markColumns = g_terminalUtf8 ? 1 : 3;
  std::size_t const start = out.size();
  std::size_t used = 0;
  // The output up to the last place that left room for the mark.
  std::size_t keptBytes = 0, keptColumns = 0;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t const plain = PlainRun(text, at, escaping);
    std::size_t width = plain - at;
    bool const run = width > 0;
    std::size_t const room = columns - used, fits = room > markColumns ? room - markColumns : 0;
    if (run) out.append(text.substr(at, width > room ? fits : width));
    at = run ? plain : AppendCluster(out, text, at, escaping, width);
    if (used + width > columns) {
      if (run && fits > 0) keptBytes = out.size() - start, keptColumns = used + fits;
      out.resize(start + keptBytes);
      return (out += mark, keptColumns + markColumns);
    }
    used += width;
    // A run that fills the room gives its last characters to the mark.
    std::size_t const over = used + markColumns > columns ? used + markColumns - columns : 0;
    if (over == 0 || (run && over <= width))
      keptBytes = out.size() - start - over, keptColumns = used - over;
  }
  return used;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  std::size_t plain = 0;  // start of the bytes not yet written
  for (std::size_t at = 0; at < text.size();) {
    auto const c = static_cast<unsigned char>(text[at]);
    std::size_t const length = c < 0x80 ? 1 : Decode(text, at).length;
    if (length > 0 && c >= 0x20 && c != '"' && c != '\\') {
      at += length;
      continue;
    }
    out.append(text.substr(plain, at - plain));
    if (length == 0)
      out += "\\ufffd";
    else if (c < 0x20 && c != '\n' && c != '\r' && c != '\t')
      out.append("\\u00").append({kHex[c >> 4], kHex[c & 15]});
    else
      AppendEscape(out, c);
    plain = at += 1;
  }
  out.append(text.substr(plain));
  out += '"';
}

void AppendJsonFileName(std::string& out, std::string_view name) {
  std::string kept;
  for (std::size_t at = 0; at < name.size();) {
    std::size_t const length = name[at] == '\\' ? 0 : Decode(name, at).length;
    if (length == 0) AppendEscape(kept, static_cast<unsigned char>(name[at]), true);
    kept.append(name.substr(at, length));
    at += std::max<std::size_t>(length, 1);
  }
  AppendJsonString(out, kept);
}

}  // namespace illhost
