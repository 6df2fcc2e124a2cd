#include "json_walk.h"

#include <cstring>
#include <limits>

#include "quoting.h"

namespace illhost {

namespace {

// The text of a string token that has no escapes: the bytes between its quotes. Empty when
// the token has escapes (the caller then lets the parser unescape it).
bool PlainString(char const* quote, std::string_view& out) {
  char const* const start = quote + 1;
  char const* p = start;
  while (*p != '"' && *p != '\\') ++p;  // the parser has checked that the string is closed
  if (*p == '\\') return false;
  out = std::string_view(start, static_cast<std::size_t>(p - start));
  return true;
}

}  // namespace

std::string_view JsonWalk::String(json::value& v) const {
  std::size_t const at = Offset(v);
  std::string_view text;
  if (text_[at] == '"' && PlainString(text_ + at, text)) {
    json::raw_json_string consumed;
    if (v.get_raw_json_string().get(consumed)) Fail(at, "expected a string");
    return text;
  }
  simdjson::error_code const error = v.get_string().get(text);
  if (error == simdjson::INCORRECT_TYPE) Fail(at, "expected a string");
  if (error) Fail(at, "invalid escape in a string");
  return text;
}

bool JsonWalk::Flag(json::value& v) const {
  bool flag = false;
  if (v.get_bool().get(flag)) Fail(Offset(v), "expected true or false");
  return flag;
}

std::int64_t JsonWalk::Integer(json::value& v) const {
  std::size_t const at = Offset(v);
  std::int64_t number = 0;
  simdjson::error_code const error = v.get_int64().get(number);
  if (!error) return number;
  // Digits alone that do not fit are out of range; anything else is not an integer.
  char const* p = text_ + at + (text_[at] == '-' ? 1 : 0);
  bool digits = *p >= '0' && *p <= '9';
  while (*p >= '0' && *p <= '9') ++p;
  if (digits && *p != '.' && *p != 'e' && *p != 'E') Fail(at, "number out of range");
  Fail(at, "expected an integer");
}

int JsonWalk::SmallInteger(json::value& v) const {
  std::size_t const at = Offset(v);
  std::int64_t const number = Integer(v);
  if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())
    Fail(at, "number out of range");
  return static_cast<int>(number);
}

std::string_view JsonWalk::Key(json::field& field) const {
  std::string_view key;
  if (PlainString(field.key().raw() - 1, key)) return key;
  std::size_t const at = KeyOffset(field);  // the key is gone once unescaped
  if (field.unescaped_key().get(key)) Fail(at, "invalid escape in a key");
  return key;
}

std::string JsonWalk::Quoted(std::string_view text) { return QuoteInput(text); }

bool JsonWalk::DistinctKeys::Insert(std::string_view key) {
  constexpr std::size_t kFew = 16;
  if (few_.size() < kFew) {
    for (std::string_view seen : few_)
      if (seen == key) return false;
    few_.push_back(key);
    return true;
  }
  if (many_.empty()) many_.insert(few_.begin(), few_.end());
  return many_.insert(key).second;
}

}  // namespace illhost
