// Text written as JSON: one string writer for --json, --explain --json and --save.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

namespace illhost {

// The length of the UTF-8 character that starts at `at`, or 0 where the bytes are not one.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

// `text` as a JSON string, whole: quotes, backslashes, \n, \r and \t escaped, other controls as
// \u00XX, UTF-8 kept, each byte that is not UTF-8 as \ufffd so that the output stays JSON.
void AppendJsonString(std::string& out, std::string_view text);
void WriteJsonString(std::ostream& out, std::string_view text);
// An integer, or null.
void AppendJsonInteger(std::string& out, std::optional<std::int64_t> const& value);

// One JSON object or array, a member or element a line: the opening bracket, then each member
// that Key() starts or element that Item() starts (after a comma from the second on), then the
// closing bracket at `indent` spaces from Close().
class JsonObject {
 public:
  JsonObject(std::string& out, int indent, char open = '{');
  // Writes the key; the caller appends the value to the string returned.
  std::string& Key(std::string_view key);
  std::string& Item();
  void Close();

 private:
  std::string& out_;
  int indent_;
  char close_;
  bool first_ = true;
};

}  // namespace illhost
