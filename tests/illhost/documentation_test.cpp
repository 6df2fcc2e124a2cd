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

std::set<std::string> OptionsIn(std::string const& text) {
  std::set<std::string> found;
  std::regex const option("(^|[ ,`\"])(--?[a-zA-Z][-a-zA-Z]*)");
  for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i)
    found.insert((*i)[2]);
  return found;
}

// The manual page's source with "\-" written as "-".
std::string ManualPage() {
  return std::regex_replace(ReadFile(ILLHOST_MANPAGE), std::regex(R"(\\-)"), "-");
}

TEST(IllhostDocumentation, HelpManualPageAndDocsNameTheSameOptions) {
  Outcome const help = RunIllhost({"--help"});
  ASSERT_EQ(help.exitCode, 0);
  // --help: the option lines under "Options:".
  std::string helpOptions;
  std::regex const line("\n  (-[-a-zA-Z,]+)");
  for (std::sregex_iterator i(help.out.begin(), help.out.end(), line), end; i != end; ++i)
    helpOptions += " " + std::regex_replace((*i)[1].str(), std::regex(","), " ");
  // The manual page: the line after each .TP of its OPTIONS section.
  std::string const man = ManualPage();
  std::size_t const from = man.find(".SH OPTIONS"), to = man.find(".SH", from + 1);
  ASSERT_NE(from, std::string::npos);
  std::string manOptions;
  std::regex const item("\\.TP\n([^\n]*)");
  std::string const section = man.substr(from, to - from);
  for (std::sregex_iterator i(section.begin(), section.end(), item), end; i != end; ++i)
    manOptions += " " + (*i)[1].str();
  // docs/illhost.md: the first column of its table of options.
  std::string docsOptions;
  std::string const docs = ReadFile(ILLHOST_DOCS);
  std::regex const row("\n\\| (`-[^|]*)\\|");
  for (std::sregex_iterator i(docs.begin(), docs.end(), row), end; i != end; ++i)
    docsOptions += " " + (*i)[1].str();

  std::set<std::string> const fromHelp = OptionsIn(helpOptions);
  EXPECT_GE(fromHelp.size(), 10U) << help.out;
  EXPECT_EQ(OptionsIn(manOptions), fromHelp);
  EXPECT_EQ(OptionsIn(docsOptions), fromHelp);
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
