// Text written into JSON output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace illhost {

// The length of the valid UTF-8 character that starts at `at`, or 0 when the bytes there are
// not one (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

// `text` as a JSON string: quotes, backslashes and control characters escaped, UTF-8 kept, and
// each byte that is not part of valid UTF-8 written as U+FFFD so that the output stays JSON.
void WriteJsonString(std::ostream& out, std::string_view text);

// The same, appended to a buffer: for output built in blocks.
void AppendJsonString(std::string& out, std::string_view text);
// An integer, or null.
void AppendJsonInteger(std::string& out, std::optional<std::int64_t> const& value);
void AppendIndent(std::string& out, int spaces);

// The members of one JSON object, one a line: `{`, then each `"key": ` that Key() writes
// (after a comma from the second on), then `}` at `indent` spaces from Close().
class JsonObject {
 public:
  JsonObject(std::string& out, int indent);
  // Writes the key; the caller appends the value to the string returned.
  std::string& Key(char const* key);
  void Close();

 private:
  std::string& out_;
  int indent_;
  bool first_ = true;
};

}  // namespace illhost
