// Text made safe for a terminal (escaped, measured and cut by grapheme cluster) and text written
// as JSON: the two routines that every output of illhost goes through.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "quoting.h"
#include "rows.h"

namespace illhost {
namespace {

// Each case of shown_text.tsv: the routine it names writes the text as the case says.
TEST(ShownText, EscapesCutsAndWritesJsonAsEachCaseSays) {
  int const cases = test_rows::ForEachRow(ILLHOST_TEST_DATA_DIR "/shown_text.tsv", [](auto& row) {
    std::string const text = test_rows::Unescaped(row.at(1)),
                      said = test_rows::Unescaped(row.at(2));
    std::string out;
    if (row[0] == "escaped") out = EscapeControls(text);
    if (row[0] == "quoted") out = QuoteInput(text);
    if (row[0] == "json") AppendJsonString(out, text);
    if (row[0] == "filename") AppendJsonFileName(out, text);
    if (row[0] == "shown") {
      SetTerminalUtf8(row.at(5) == "utf-8");
      std::size_t const columns = row.at(3) == "whole" ? kWhole : std::stoul(row[3]);
      out = ">";  // appended to what is there
      EXPECT_EQ(AppendShown(out, text, columns), std::stoul(row.at(4))) << row[1];
      out.erase(0, out.rfind('>', 0) == 0 ? 1 : 0);
    }
    SetTerminalUtf8(true);
    EXPECT_EQ(out, said) << row[0] << ' ' << row[1];
    if (row[0] == "json" && out.find("\\ufffd") == std::string::npos) {
      EXPECT_EQ(nlohmann::json::parse(out).get<std::string>(), text);
    }
  });
  EXPECT_EQ(cases, 45) << "shown_text.tsv was not read whole";
}

}  // namespace
}  // namespace illhost
