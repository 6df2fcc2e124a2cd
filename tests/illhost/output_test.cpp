// What illhost prints: standard output that fails, the table as a terminal shows it, name types
// under suppression, several files, running out of memory.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <nlohmann/json.hpp>
#include <sstream>

#include "illhost_process.h"

namespace illhost_test {
namespace {

std::vector<std::string> Lines(std::string const& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The terminal columns that UTF-8 text takes, by the C library's character widths; -1 when
// it is not UTF-8 or holds a character that has no width.
int Columns(std::string const& text) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  std::wstring wide(text.size(), L'\0');
  std::size_t const n = std::mbstowcs(wide.data(), text.c_str(), wide.size());
  return n == static_cast<std::size_t>(-1) ? -1 : wcswidth(wide.c_str(), n);
}

TEST(IllhostOutput, StandardOutputThatCannotBeWrittenIsOneMessageAndExitOneAndTheSaveIsKept) {
  TempDir dir;
  WriteFile(dir / "big.json", PartsIllustration(3000));
  Launch launch;
  launch.args = {"--save", (dir / "reference.json").string(), (dir / "big.json").string()};
  launch.out = Stdout::DevNull;
  ASSERT_EQ(RunIllhostWith(launch).exitCode, 0);
  // A full disk, a closed standard output, and `| head -1`, which closes the pipe after a line.
  for (auto const& [out, error] : {std::pair{Stdout::DevFull, ENOSPC},
                                   {Stdout::Closed, EBADF},
                                   {Stdout::FirstLineOnly, EPIPE}}) {
    launch.args[1] = (dir / "out.json").string();
    launch.out = out;
    Outcome const r = RunIllhostWith(launch);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              std::string("illhost: cannot write standard output: ") + std::strerror(error) + "\n");
    EXPECT_EQ(ReadFile(dir / "out.json"), ReadFile(dir / "reference.json")) << error;
  }
}

TEST(IllhostOutput, TableStaysAlignedAndEscapedWhateverTheNames) {
  // Ids and names that are wide, long, multi-byte or full of control characters.
  for (bool const wide : {false, true}) {
    std::vector<std::string> args = {ILLHOST_TEST_DATA_DIR "/awkward.json"};
    if (wide) args.insert(args.begin(), "--wide");
    Outcome const r = RunIllhost(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (char const raw : {'\x1b', '\r', '\x07'})
      EXPECT_EQ(r.out.find(raw), std::string::npos) << "raw control character in the table";
    std::vector<std::string> const lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 8U) << r.out;
    // Every column starts where its heading does: the last one is found from the right, the
    // "follows" column by its heading's place.
    std::string const& heading = lines[0];
    int const lastColumn = Columns(heading.substr(0, heading.find("selection item")));
    int const followsColumn = Columns(heading.substr(0, heading.find("follows")));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::string const& line = lines[i];
      EXPECT_EQ(Columns(line.substr(0, line.rfind("  ") + 2)), lastColumn) << line;
      std::size_t const follows = line.find("  yes  ");
      ASSERT_NE(follows, std::string::npos) << line;
      EXPECT_EQ(Columns(line.substr(0, follows + 2)), followsColumn) << line;
    }
    EXPECT_NE(r.out.find("first\\nsecond"), std::string::npos);
    EXPECT_NE(r.out.find("\\x1b[2J"), std::string::npos);
    EXPECT_NE(r.out.find("over\\rwrite"), std::string::npos);
    EXPECT_NE(r.out.find("東京都庁舎の北側の柱"), std::string::npos);
    EXPECT_EQ(r.out.find(std::string(70, 'x')) != std::string::npos, wide);
    EXPECT_EQ(r.out.find(std::string(39, 'x') + "…") != std::string::npos, !wide);
  }
}

TEST(IllhostOutput, NameTypesShowUnderATimelineThatSuppressesSaving) {
  TempDir dir;
  WriteFile(dir / "quiet.json", PartsIllustration(3, true));
  Outcome const json = RunIllhost({"--json", (dir / "quiet.json").string()});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  nlohmann::json const parsed = nlohmann::json::parse(json.out);
  for (auto const& track : parsed["tracks"]) {
    EXPECT_EQ(track["name_type_before"], 1) << track;
    EXPECT_EQ(track["name_type"], 1) << track;
    EXPECT_EQ(track["saved"], nlohmann::json::object()) << track;
  }
  Outcome const table = RunIllhost({(dir / "quiet.json").string()});
  EXPECT_NE(table.out.find("target  target"), std::string::npos) << table.out;
  EXPECT_EQ(table.out.find("  -  "), std::string::npos) << table.out;
}

TEST(IllhostOutput, SeveralFilesRunInTurnUnderTheirNames) {
  TempDir dir;
  WriteFile(dir / "bad.json", "[");
  std::string const a = Example("center_lines"), b = Example("assembly_sbom_names");
  std::string const bad = (dir / "bad.json").string();

  Outcome const json = RunIllhost({"--json", a, bad, b});
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_EQ(Lines(json.err).size(), 1U) << json.err;
  nlohmann::json const all = nlohmann::json::parse(json.out);
  EXPECT_EQ(all.size(), 2U);
  EXPECT_EQ(all[a]["tracks"].size(), 8U);
  EXPECT_EQ(all[b]["tracks"][0]["id"], "t-cart");

  Outcome const table = RunIllhost({a, b});
  EXPECT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out.find(a + ":\ntrack "), 0U) << table.out;
  EXPECT_NE(table.out.find("\n" + b + ":\ntrack "), std::string::npos) << table.out;
}

TEST(IllhostOutput, RunningOutOfMemoryIsOneLineNotAnAbort) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer reserves more address space than the limit allows";
#endif
  TempDir dir;
  WriteFile(dir / "big.json", PartsIllustration(200000));
  Launch launch;
  launch.args = {(dir / "big.json").string()};
  launch.inChild = [] {
    rlimit const limit{96UL << 20, 96UL << 20};
    setrlimit(RLIMIT_AS, &limit);
  };
  Outcome const r = RunIllhostWith(launch);
  EXPECT_EQ(r.signal, 0);
  // Here the parser's index of the text is what does not fit: the message names the file.
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err,
            "illhost: " + (dir / "big.json").string() + ": out of memory while reading it\n");
}

}  // namespace
}  // namespace illhost_test
