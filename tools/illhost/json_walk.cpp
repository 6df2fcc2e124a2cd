#include "json_walk.h"

#include <limits>

#include "quoting.h"

namespace illhost {

namespace {

// The text of a string token that has no escapes: the bytes between its quotes. False when
// the token has escapes (the caller then lets the parser unescape it).
bool PlainString(char const* quote, std::string_view& out) {
  char const* const start = quote + 1;
  char const* p = start;
  while (*p != '"' && *p != '\\') ++p;  // the parser has checked that the string is closed
  if (*p == '\\') return false;
  out = std::string_view(start, static_cast<std::size_t>(p - start));
  return true;
}

bool PlainKey(std::string_view key) {
  for (char c : key)
    if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
      return false;
  return !key.empty();
}

}  // namespace

std::string PathText(std::vector<PathStep> const& steps) {
  constexpr std::size_t kShown = 8;
  std::string path = "$";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i == kShown && steps.size() > kShown + 1)
      return path + "…(" + std::to_string(steps.size() - kShown) + " more levels)";
    PathStep const& step = steps[i];
    if (!step.key.data())
      path += "[" + std::to_string(step.index) + "]";
    else if (PlainKey(step.key))
      path += "." + std::string(step.key);
    else
      path += "[" + QuoteInput(step.key) + "]";
  }
  return path;
}

std::string JsonWalk::Where(std::string_view key, std::size_t const* index) const {
  std::string path = PathText(path_);  // a reference or a missing key lies only a few levels deep
  if (key.data()) path += "." + std::string(key);
  if (index) path += "[" + std::to_string(*index) + "]";
  return path;
}

void JsonWalk::Fail(std::size_t at, std::string what, std::string_view key) const {
  throw ReadProblem{at, Where(key), std::move(what)};
}

void JsonWalk::ReadValue(json::value& v, illhost::Key const& key, Field& field) {
  field.at = Offset(v);
  bool const idOrWord = key.type <= Type::Word;
  if (!idOrWord && IsNull(v)) return;
  field.null = false;
  switch (key.type) {
    case Type::Id:
    case Type::Word:
    case Type::Text:
    case Type::Reference:
      field.text = String(v);
      break;
    case Type::Flag:
      field.number = Flag(v);
      break;
    case Type::Int:
      field.number = SmallInteger(v);
      break;
    default:  // read by the caller
      break;
  }
}

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
  if (!v.get_int64().get(number)) return number;
  // Digits alone that do not fit are out of range; anything else is not an integer.
  char const* p = text_ + at + (text_[at] == '-' ? 1 : 0);
  bool const digits = *p >= '0' && *p <= '9';
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

std::string_view JsonWalk::KeyText(json::field& pair) const {
  std::string_view key;
  if (PlainString(pair.key().raw() - 1, key)) return key;
  std::size_t const at = KeyOffset(pair);  // the key is gone once unescaped
  if (pair.unescaped_key().get(key)) Fail(at, "invalid escape in a key");
  return key;
}

std::string JsonWalk::Quoted(std::string_view text) { return QuoteInput(text); }

}  // namespace illhost
