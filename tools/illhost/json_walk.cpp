#include "json_walk.h"

#include <climits>
#include <nlohmann/json.hpp>

namespace illhost {

namespace {

// False when the token has escapes, for the parser to unescape.
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

std::string PathText(std::vector<PathStep> const& steps) {
  constexpr std::size_t kShown = 8;
  std::string path = "$";
  for (std::size_t i = 0; i < steps.size(); ++i) {
    if (i == kShown && steps.size() > kShown + 1)
      return path + "…(" + std::to_string(steps.size() - kShown) + " more levels)";
    PathStep const& step = steps[i];
    if (!step.key.data())
      path.append("[").append(std::to_string(step.index)).append("]");
    else if (PlainKey(step.key))
      path.append(".").append(step.key);
    else
      path.append("[").append(QuoteInput(step.key)).append("]");
  }
  return path;
}

// `read` follows the parser through the text to place a nesting too deep.
class SyntaxCheck : public nlohmann::json_sax<nlohmann::json> {
 public:
  static constexpr std::size_t kMaxNesting = 64;

  SyntaxCheck(std::string_view text, char const* const& read) : text_(text), read_(read) {}

  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, string_t const&) override { return Value(); }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& key) override {
    frames_.back().key = key;
    frames_.back().index = 1;  // in the member's value
    return true;
  }
  bool parse_error(std::size_t position, std::string const& token,
                   nlohmann::detail::exception const& e) override {
    std::string what = e.what();
    what.erase(0, what.find("] ") + 2);
    if (what.compare(0, 11, "parse error") == 0) what.erase(0, what.find(": ") + 2);
    if (what.compare(0, 27, "syntax error while parsing ") == 0)
      what.erase(0, what.find(" - ") + 3);
    // What follows "last read" is the input itself, which the message does not repeat.
    std::size_t const read = what.find("; last read: '");
    if (read != std::string::npos) {
      std::size_t const expected = what.find("'; expected ", read);
      what.erase(read, expected == std::string::npos ? std::string::npos : expected + 1 - read);
    }
    // The place is the last byte read, or where a whole string or number token starts.
    if (what.compare(0, 15, "number overflow") == 0) what = "number out of range";
    bool const whole = what.find("unexpected string") == 0 || what.find("unexpected number") == 0 ||
                       what == "number out of range";
    std::size_t const at = std::min(position - (whole ? token.size() : 1), text_.size());
    fault = ReadProblem{at, Path(), what};
    return false;
  }

  std::optional<ReadProblem> fault;

 private:
  // A list's element index, or for an object 1 inside a member's value and 0 between members.
  struct Frame {
    bool object;
    std::size_t index = 0;
    std::string key;
  };
  bool Value() {
    if (!frames_.empty())
      frames_.back().index = frames_.back().object ? 0 : frames_.back().index + 1;
    return true;
  }
  bool Open(bool object) {
    if (frames_.size() == kMaxNesting) {
      fault = ReadProblem{static_cast<std::size_t>(read_ - 1 - text_.data()), Path(),
                          "nesting deeper than " + std::to_string(kMaxNesting) + " levels"};
      return false;
    }
    frames_.push_back(Frame{object, 0, {}});
    return true;
  }
  bool Close() {
    frames_.pop_back();
    return Value();
  }
  std::string Path() const {
    std::vector<PathStep> steps;
    for (Frame const& frame : frames_) {
      if (!frame.object)
        steps.push_back(PathStep{{}, frame.index});
      else if (frame.index)
        steps.push_back(PathStep{frame.key});
    }
    return PathText(steps);
  }

  std::string_view text_;
  char const* const& read_;
  std::vector<Frame> frames_;
};

struct CountingIterator {
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = char const*;
  using reference = char const&;
  char const* at;
  char const** read;
  reference operator*() const { return *at; }
  CountingIterator& operator++() {
    *read = ++at;
    return *this;
  }
  bool operator==(CountingIterator const& other) const { return at == other.at; }
  bool operator!=(CountingIterator const& other) const { return at != other.at; }
};

}  // namespace

std::optional<ReadProblem> FirstSyntaxFault(std::string_view text) {
  std::size_t const nul = text.find('\0');  // which the parser would take for the end
  std::string_view const before = text.substr(0, nul);
  char const* read = text.data();
  SyntaxCheck check(before, read);
  nlohmann::json::sax_parse(CountingIterator{before.data(), &read},
                            CountingIterator{before.data() + before.size(), &read}, &check);
  if (nul != std::string_view::npos && (!check.fault || check.fault->offset >= nul))
    return ReadProblem{nul, check.fault ? check.fault->path : "$",
                       check.fault ? "NUL byte" : "NUL byte after the document"};
  return check.fault;
}

std::string JsonWalk::Where(std::string_view key, std::size_t const* index) const {
  std::string path = PathText(path_);  // a reference or a missing key lies only a few levels deep
  if (key.data()) path.append(".").append(key);
  if (index) path.append("[").append(std::to_string(*index)).append("]");
  return path;
}

void JsonWalk::Fail(std::size_t at, std::string what, std::string_view key) const {
  throw ReadProblem{at, Where(key), std::move(what)};
}

void JsonWalk::ReadValue(json::value& v, illhost::Key const& key, Field& field) {
  field.at = Offset(v);
  if (!Required(key.type) && IsNull(v)) return;
  field.null = false;
  if (key.type == Type::Flag)
    field.number = Flag(v);
  else if (key.type == Type::Int)
    field.number = SmallInteger(v);
  else if (key.type == Type::Position)
    field.number = Integer(v);
  else if (key.type < Type::References)  // a string; what follows is read by the caller
    field.text = String(v);
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
  if (number < INT_MIN || number > INT_MAX) Fail(at, "number out of range");
  return static_cast<int>(number);
}

std::string_view JsonWalk::KeyText(json::field& pair) const {
  std::string_view key;
  if (PlainString(pair.key().raw() - 1, key)) return key;
  std::size_t const at = KeyOffset(pair);  // the key is gone once unescaped
  if (pair.unescaped_key().get(key)) Fail(at, "invalid escape in a key");
  return key;
}

}  // namespace illhost
