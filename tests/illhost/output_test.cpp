// What illhost prints: standard output that fails, several files. The
// table and name types under suppression are checked against expected/*.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>

#include "illhost_process.h"

namespace illhost_test {
namespace {

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

TEST(IllhostOutput, SeveralFilesRunInTurnUnderTheirNames) {
  TempDir dir;
  WriteFile(dir / "bad.json", "[");
  std::string const a = Example("center_lines"), b = Example("assembly_sbom_names");
  std::string const bad = (dir / "bad.json").string();

  Outcome const json = RunIllhost({"--json", a, bad, b});
  EXPECT_EQ(json.exitCode, 2);
  EXPECT_EQ(std::count(json.err.begin(), json.err.end(), '\n'), 1) << json.err;
  nlohmann::json const all = nlohmann::json::parse(json.out);
  EXPECT_EQ(all.size(), 2U);
  EXPECT_EQ(all[a]["tracks"].size(), 8U);
  EXPECT_EQ(all[b]["tracks"][0]["id"], "t-cart");

  Outcome const table = RunIllhost({a, b});
  EXPECT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out.find(a + ":\ntrack "), 0U) << table.out;
  EXPECT_NE(table.out.find("\n" + b + ":\ntrack "), std::string::npos) << table.out;
}

}  // namespace
}  // namespace illhost_test
