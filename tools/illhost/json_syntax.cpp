#include "json_syntax.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "json_text.h"
#include "quoting.h"

namespace illhost {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

unsigned HexValue(std::string_view four) {
  return static_cast<unsigned>(std::strtoul(std::string(four).c_str(), nullptr, 16));
}

class Scanner {
 public:
  Scanner(std::string_view text, std::size_t wanted) : text_(text), wanted_(wanted) {}

  SyntaxCheck Run() {
    SkipSpace();
    while (!result_.problem) {
      if (!Value()) break;
      if (!AfterValue()) break;
    }
    return std::move(result_);
  }

 private:
  struct Frame {
    bool object;
    std::size_t index = 0;  // of the current element, in a list
    std::string key;        // the current key, in an object
  };

  // Deep paths are cut: their first levels say where the nesting starts.
  std::string Path(std::size_t depth) const {
    constexpr std::size_t kShown = 8;
    std::string path = "$";
    for (std::size_t i = 0; i < depth; ++i) {
      if (i == kShown && depth > kShown + 1) {
        path += "…(" + std::to_string(depth - kShown) + " more levels)";
        break;
      }
      Frame const& f = stack_[i];
      if (!f.object) {
        path += "[" + std::to_string(f.index) + "]";
      } else if (Plain(f.key)) {
        path += "." + f.key;
      } else {
        path += "[" + QuoteInput(f.key) + "]";
      }
    }
    return path;
  }
  static bool Plain(std::string const& key) {
    if (key.empty()) return false;
    for (char c : key)
      if (!(IsDigit(c) || c == '_' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
        return false;
    return true;
  }

  bool Fail(std::size_t at, std::string what, std::size_t depth) {
    if (!result_.problem) result_.problem = SyntaxProblem{at, Path(depth), std::move(what)};
    return false;
  }
  // Failures in keys and between members name the object or list; others name the value.
  bool Fail(std::size_t at, std::string what) {
    return Fail(at, std::move(what), stack_.size() - (betweenMembers_ && !stack_.empty() ? 1 : 0));
  }

  // What stands at `pos_` where `expected` was wanted.
  bool Unexpected(char const* expected) {
    if (pos_ >= text_.size())
      return Fail(pos_, std::string(expected) + ", found the end of the file");
    if (text_[pos_] == '\0') return Fail(pos_, std::string("NUL byte, ") + expected);
    return Fail(pos_, expected);
  }

  void SkipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
  }

  void Reached(std::size_t depth) {
    if (pos_ == wanted_) result_.pathAtWanted = Path(depth);
  }

  bool Value() {
    betweenMembers_ = false;
    Reached(stack_.size());
    if (pos_ >= text_.size()) return Unexpected("expected a value");
    char const c = text_[pos_];
    if (c == '{' || c == '[') {
      if (stack_.size() >= kMaxNesting)
        return Fail(pos_, "nesting deeper than " + std::to_string(kMaxNesting) + " levels");
      stack_.push_back(Frame{c == '{', 0, {}});
      ++pos_;
      SkipSpace();
      if (pos_ < text_.size() && text_[pos_] == (c == '{' ? '}' : ']')) {
        stack_.pop_back();
        ++pos_;
        return true;
      }
      return c == '{' ? Key() && Value() : Value();
    }
    if (c == '"') return String(nullptr);
    if (c == '-' || IsDigit(c)) return Number();
    for (std::string_view word : {"true", "false", "null"}) {
      if (text_.substr(pos_, word.size()) == word) {
        std::size_t const end = pos_ + word.size();
        if (end < text_.size() && std::isalnum(static_cast<unsigned char>(text_[end])))
          return Fail(pos_, "expected a value");
        pos_ = end;
        return true;
      }
    }
    return Unexpected("expected a value");
  }

  // A key, its colon and the white space before its value.
  bool Key() {
    betweenMembers_ = true;
    Reached(stack_.size() - 1);
    if (pos_ >= text_.size() || text_[pos_] != '"')
      return Unexpected("expected a key in double quotes");
    std::string key;
    if (!String(&key)) return false;
    stack_.back().key = std::move(key);
    SkipSpace();
    if (pos_ >= text_.size() || text_[pos_] != ':') return Unexpected("expected ':'");
    ++pos_;
    SkipSpace();
    return true;
  }

  // After a value: commas, closing brackets and then the next value, or the end.
  bool AfterValue() {
    betweenMembers_ = true;
    for (;;) {
      SkipSpace();
      if (stack_.empty()) {
        if (pos_ < text_.size())
          return Fail(pos_,
                      text_[pos_] == '\0' ? "NUL byte after the document"
                                          : "text after the end of the document",
                      0);
        return false;  // done
      }
      Frame& top = stack_.back();
      char const close = top.object ? '}' : ']';
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        SkipSpace();
        if (top.object) return Key();
        ++top.index;
        return true;
      }
      if (pos_ < text_.size() && text_[pos_] == close) {
        ++pos_;
        stack_.pop_back();
        continue;
      }
      return Unexpected(top.object ? "expected ',' or '}'" : "expected ',' or ']'");
    }
  }

  // A string at pos_, its text kept in `out` when given.
  bool String(std::string* out) {
    std::size_t const start = pos_++;
    for (;;) {
      if (pos_ >= text_.size()) return Fail(start, "string not closed before the end of the file");
      unsigned char const c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c == 0) return Fail(pos_, "NUL byte in a string");
      if (c < 0x20)
        return Fail(pos_, "control character in a string (write it as \\u00" +
                              std::string(1, "0123456789abcdef"[c >> 4]) +
                              "0123456789abcdef"[c & 15] + ")");
      if (c == '\\') {
        if (!Escape(out)) return false;
        continue;
      }
      std::size_t const length = Utf8CharacterLength(text_, pos_);
      if (length == 0) return Fail(pos_, "invalid UTF-8 in a string");
      if (out) out->append(text_.substr(pos_, length));
      pos_ += length;
    }
  }

  bool Escape(std::string* out) {
    std::size_t const start = pos_;
    char const e = pos_ + 1 < text_.size() ? text_[pos_ + 1] : '\0';
    static constexpr std::string_view kSimple = "\"\\/bfnrt";
    static constexpr std::string_view kMeaning = "\"\\/\b\f\n\r\t";
    if (std::size_t const i = kSimple.find(e); e != '\0' && i != std::string_view::npos) {
      if (out) out->push_back(kMeaning[i]);
      pos_ += 2;
      return true;
    }
    if (e != 'u') return Fail(start, "invalid escape in a string");
    auto const hex4 = [&](std::size_t at) {
      if (at + 4 > text_.size()) return false;
      for (std::size_t i = at; i < at + 4; ++i)
        if (!IsHex(text_[i])) return false;
      return true;
    };
    if (!hex4(pos_ + 2)) return Fail(start, "invalid \\u escape in a string");
    unsigned code = HexValue(text_.substr(pos_ + 2, 4));
    pos_ += 6;
    if (code >= 0xDC00 && code <= 0xDFFF) return Fail(start, "unpaired surrogate in a string");
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (text_.substr(pos_, 2) != "\\u" || !hex4(pos_ + 2))
        return Fail(start, "unpaired surrogate in a string");
      unsigned const low = HexValue(text_.substr(pos_ + 2, 4));
      if (low < 0xDC00 || low > 0xDFFF) return Fail(start, "unpaired surrogate in a string");
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      pos_ += 6;
    }
    if (out) AppendUtf8(*out, code);
    return true;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (code >> 12)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (code >> 18)));
      out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }

  // Digits at pos_, at least one.
  bool Digits() {
    std::size_t const from = pos_;
    while (pos_ < text_.size() && IsDigit(text_[pos_])) ++pos_;
    return pos_ > from;
  }
  bool At(char a, char b = '\0') const {
    return pos_ < text_.size() && (text_[pos_] == a || (b != '\0' && text_[pos_] == b));
  }

  bool Number() {
    std::size_t const start = pos_;
    if (At('-')) ++pos_;
    bool valid = At('0') ? (++pos_, true) : Digits();
    bool fraction = false;
    if (valid && At('.')) {
      ++pos_;
      fraction = true;
      valid = Digits();
    }
    if (valid && At('e', 'E')) {
      ++pos_;
      fraction = true;
      if (At('+', '-')) ++pos_;
      valid = Digits();
    }
    if (!valid || (pos_ < text_.size() && (IsDigit(text_[pos_]) || text_[pos_] == '.')))
      return Fail(start, "invalid number");
    std::string const token(text_.substr(start, pos_ - start));
    if ((fraction || token.size() > 20) && !std::isfinite(std::strtod(token.c_str(), nullptr)))
      return Fail(start, "number out of range");
    return true;
  }

  std::string_view text_;
  std::size_t wanted_;
  std::size_t pos_ = 0;
  std::vector<Frame> stack_;
  bool betweenMembers_ = false;
  SyntaxCheck result_;
};

}  // namespace

SyntaxCheck CheckSyntax(std::string_view text, std::size_t wanted) {
  return Scanner(text, wanted).Run();
}

std::string DescribePlace(std::string_view text, std::size_t offset) {
  if (offset > text.size()) offset = text.size();
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < offset; ++i) {
    unsigned char const c = static_cast<unsigned char>(text[i]);
    if (c == '\n') {
      ++line;
      column = 1;
    } else if ((c & 0xC0u) != 0x80u) {
      ++column;
    }
  }
  return std::to_string(line) + ":" + std::to_string(column) + ": byte " + std::to_string(offset);
}

}  // namespace illhost
