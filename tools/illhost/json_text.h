// Text written into JSON output.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string_view>

namespace illhost {

// The length of the valid UTF-8 character that starts at `at`, or 0 when the bytes there are
// not one (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

// `text` as a JSON string: quotes, backslashes and control characters escaped, UTF-8 kept, and
// each byte that is not part of valid UTF-8 written as U+FFFD so that the output stays JSON.
void WriteJsonString(std::ostream& out, std::string_view text);

}  // namespace illhost
