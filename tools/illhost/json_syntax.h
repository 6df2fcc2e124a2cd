// Where and why a text is not one strict JSON document, and how messages name a place in it.
// Used only once something has gone wrong, so it favours exact messages over speed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace illhost {

// Containers nested deeper than this are refused: the format needs six levels.
constexpr std::size_t kMaxNesting = 64;

struct SyntaxProblem {
  std::size_t offset;  // bytes before the place
  std::string path;    // the JSON path of the value or object there, "$" for the root
  std::string what;    // what was expected or what is wrong, e.g. "expected ',' or '}'"
};

// The first place where `text` is not one JSON document: bad syntax, a NUL byte, bytes that are
// not UTF-8, a control character or bad escape in a string, a number out of range, nesting
// deeper than kMaxNesting, or anything but white space after the document. Also the path of
// the value (or, for a key, of the object) that starts at byte `wanted`, when it is reached.
struct SyntaxCheck {
  std::optional<SyntaxProblem> problem;
  std::optional<std::string> pathAtWanted;
};
SyntaxCheck CheckSyntax(std::string_view text, std::size_t wanted = std::string_view::npos);

// "LINE:COLUMN: byte OFFSET": line and column count from 1, the column in characters.
std::string DescribePlace(std::string_view text, std::size_t offset);

}  // namespace illhost
