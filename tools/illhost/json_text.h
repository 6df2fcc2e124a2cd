// JSON text written straight into a buffer, without a document tree.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace illhost {

// `text` as a JSON string: quotes, backslashes and control characters escaped, UTF-8 kept;
// a byte that is not UTF-8 becomes U+FFFD so that the output stays valid JSON.
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
