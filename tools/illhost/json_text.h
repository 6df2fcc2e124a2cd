// Text written into JSON output.
#pragma once

#include <iosfwd>
#include <string_view>

namespace illhost {

// `text` as a JSON string: quotes, backslashes and control characters escaped, UTF-8 kept, and
// each byte that is not part of valid UTF-8 written as U+FFFD so that the output stays JSON.
void WriteJsonString(std::ostream& out, std::string_view text);

}  // namespace illhost
