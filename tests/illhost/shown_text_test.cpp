// Text made safe for a terminal (escaped, measured and cut by grapheme cluster) and text written
// as JSON: the two routines that every output of illhost goes through.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "quoting.h"

namespace illhost {
namespace {

constexpr char kFamily[] = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
constexpr char kScotland[] =
    "\U0001F3F4\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F";
constexpr char kFrance[] = "\U0001F1EB\U0001F1F7";

TEST(ShownText, EscapesWhatATerminalWouldActOnOrHideAndKeepsEverythingElse) {
  struct Case {
    char const* text;
    char const* shown;
  } const cases[] = {
      {"plain text", "plain text"},
      {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
      {"\x1b[2J\x07\x7f", "\\x1b[2J\\x07\\x7f"},
      {"\u0085", "\\u0085"},                                    // C1 control
      {"\u202Eevil\u2066\u061C", "\\u202eevil\\u2066\\u061c"},  // reordering
      {"a\u200Bb\u200Dc\uFEFF", "a\\u200bb\\u200dc\\ufeff"},    // zero-width
      {"line\u2028para\u2029", "line\\u2028para\\u2029"},
      {"a\U000E0041\U000E0042", "a\\U000e0041\\U000e0042"},  // hidden tag text
      {"\xff\xc3 \xed\xa0\x80 \xc0\xaf", "\\xff\\xc3 \\xed\\xa0\\x80 \\xc0\\xaf"},
      {"back\\slash \"quoted\"", "back\\slash \"quoted\""},
      {kFamily, kFamily},
      {kScotland, kScotland},
      {"\U0001F600\U000E0041", "\U0001F600\\U000e0041"},  // tags only in a flag
      {"e\u0301 \u6771\u4EAC", "e\u0301 \u6771\u4EAC"},
  };
  for (auto const& c : cases) EXPECT_EQ(EscapeControls(c.text), c.shown) << c.text;
  EXPECT_EQ(QuoteInput("a\"b\\c\n"), "\"a\\\"b\\\\c\\n\"");
}

std::string Repeat(std::string const& text, int times) {
  std::string out;
  while (times-- > 0) out += text;
  return out;
}

TEST(ShownText, MeasuresAndCutsByGraphemeCluster) {
  struct Case {
    std::string text;
    std::size_t columns;
    std::string shown;
    std::size_t used;
  } const cases[] = {
      {"abcdef", 4, "abc…", 4},
      {"abcd", 4, "abcd", 4},
      {"abc", kWhole, "abc", 3},
      {"\u6771\u4EAC\u90FD\u5E81", 5, "\u6771\u4EAC…", 5},
      {"\u6771\u4EAC\u90FD\u5E81", 4, "\u6771…", 3},
      {std::string("ab") + kFamily + "cd", 4, "ab…", 3},
      {std::string("ab") + kFamily + "cd", 5, std::string("ab") + kFamily + "…", 5},
      {std::string("ab") + kFamily, 4, std::string("ab") + kFamily, 4},
      {kFamily, kWhole, kFamily, 2},
      {kFrance, kWhole, kFrance, 2},
      {kScotland, kWhole, kScotland, 2},
      {"xe\u0301y", 2, "x…", 2},
      {"xe\u0301", 2, "xe\u0301", 2},
      {"\x1b\x1b", 6, "\\x1b…", 5},
      {"a\u200Db", kWhole, "a\\u200db", 8},
      // Marks stacked past 31 are escaped, so that a short cut keeps the output short.
      {"e" + Repeat("\u0301", 31), 1, "e" + Repeat("\u0301", 31), 1},
      {"e" + Repeat("\u0301", 40), 10, "…", 1},
  };
  for (auto const& c : cases) {
    std::string out = ">";
    EXPECT_EQ(AppendShown(out, c.text, c.columns), c.used) << c.text;
    EXPECT_EQ(out, ">" + c.shown) << c.text;
  }
}

TEST(JsonText, WritesEveryStringWholeAndAsJson) {
  struct Case {
    std::string text;
    std::string json;
  } const cases[] = {
      {"a\"b\\c/", R"("a\"b\\c/")"},
      {std::string("\b\f\n\r\t\x01\x1f\0", 8), R"("\u0008\u000c\n\r\t\u0001\u001f\u0000")"},
      {"\x7f\u2028\u00e9\u6771", "\"\x7f\u2028\u00e9\u6771\""},
      {kFamily, std::string("\"") + kFamily + "\""},
      {"\xff ok \xed\xa0\x80", R"("\ufffd ok \ufffd\ufffd\ufffd")"},
  };
  for (auto const& c : cases) {
    std::string out;
    AppendJsonString(out, c.text);
    EXPECT_EQ(out, c.json);
    if (out.find("\\ufffd") == std::string::npos) {
      EXPECT_EQ(nlohmann::json::parse(out).get<std::string>(), c.text);
    }
  }
}

}  // namespace
}  // namespace illhost
