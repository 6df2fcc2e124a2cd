// illhost's own help, its manual page and docs/illhost.md say the same: the same options and
// the same meaning for each name type.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "illhost_process.h"

namespace illhost_test {
namespace {

std::string Collapsed(std::string const& text) {
  std::string out = std::regex_replace(text, std::regex("\\s+"), " ");
  return std::regex_replace(out, std::regex("^ | $"), "");
}

// The options named in the first group of each match of `pattern` in `text`.
std::set<std::string> OptionsIn(std::string const& text, std::string const& pattern) {
  std::set<std::string> found;
  std::regex const option("(^|[ ,`\"])(--?[a-zA-Z][-a-zA-Z]*)"), matching(pattern);
  for (std::sregex_iterator i(text.begin(), text.end(), matching), end; i != end; ++i) {
    std::string const part = (*i)[1];
    for (std::sregex_iterator o(part.begin(), part.end(), option); o != end; ++o)
      found.insert((*o)[2]);
  }
  return found;
}

// The manual page's source with "\-" written as "-".
std::string ManualPage() {
  return std::regex_replace(ReadFile(ILLHOST_MANPAGE), std::regex(R"(\\-)"), "-");
}

TEST(IllhostDocumentation, HelpManualPageAndDocsNameTheSameOptions) {
  Outcome const help = RunIllhost({"--help"});
  ASSERT_EQ(help.exitCode, 0);
  std::string const man = ManualPage();
  std::size_t const from = man.find(".SH OPTIONS"), to = man.find(".SH", from + 1);
  ASSERT_NE(from, std::string::npos);
  // --help: the option lines under "Options:"; the manual page: the line after each .TP of its
  // OPTIONS section; docs/illhost.md: the first column of its table of options.
  std::set<std::string> const fromHelp = OptionsIn(help.out, "\n  (-[-a-zA-Z,]+)");
  EXPECT_GE(fromHelp.size(), 10U) << help.out;
  EXPECT_EQ(OptionsIn(man.substr(from, to - from), "\\.TP\n([^\n]*)"), fromHelp);
  EXPECT_EQ(OptionsIn(ReadFile(ILLHOST_DOCS), "\n\\| (`-[^|]*)\\|"), fromHelp);
}

TEST(IllhostDocumentation, NameTypesMeanTheSameInHelpManualPageAndDocs) {
  Outcome const help = RunIllhost({"--help"});
  std::string const man = ManualPage(), docs = ReadFile(ILLHOST_DOCS);
  for (std::string name : {"own", "target", "default", "unresolved"}) {
    std::smatch m;
    // --help: "  NAME  N  meaning", continued on lines that start with more spaces.
    ASSERT_TRUE(std::regex_search(help.out, m,
                                  std::regex("\n  " + name + " +[0-9] +([^\n]*(\n {5,}[^\n]*)*)")))
        << name;
    std::string const inHelp = Collapsed(m[1]);
    ASSERT_TRUE(
        std::regex_search(man, m, std::regex("\\.BR " + name + " \"[^\n]*\n([^.][^]*?)\n\\.")))
        << name;
    EXPECT_EQ(Collapsed(m[1]), inHelp) << "manual page, " << name;
    ASSERT_TRUE(
        std::regex_search(docs, m, std::regex("\n\\| `" + name + "` \\| [0-9] \\| ([^\n]*) \\|\n")))
        << name;
    EXPECT_EQ(Collapsed(m[1]), inHelp) << "docs/illhost.md, " << name;
  }
}

}  // namespace
}  // namespace illhost_test
