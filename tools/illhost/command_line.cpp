#include "command_line.h"

#include <CLI/CLI.hpp>
#include <ostream>
#include <set>

#include "exit_status.h"
#include "illanimation/version.h"
#include "module_location.h"
#include "name_types.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr char kDescription[] =
    "illhost loads the illanimation module as the host does, builds the illustration in each "
    "FILE (JSON; \"-\" reads standard input; no FILE runs a built-in sample) and shows, for each "
    "track, what the module makes of it.";

constexpr char kExitStatuses[] =
    "exit status: 0 done, 1 bad usage, output or --save not written, 2 a FILE that cannot be "
    "read or is not a valid illustration, 3 the module cannot be loaded\n";

std::string Footer() { return std::string("\n") + kNameTypeLegend + "\n" + kExitStatuses; }

CommandLine UsageError(std::string const& what) {
  return {std::nullopt, kUsageOrOutput, what + " (see illhost --help)"};
}

}  // namespace

CommandLine ParseCommandLine(int argc, char const* const* argv, std::ostream& out) {
  Options o;
  std::string save, explain;
  bool version = false;
  CLI::App app(kDescription, "illhost");
  app.set_help_flag("-h,--help", "print this help and exit");
  app.add_flag("-V,--version", version, "print illhost's version and the module it would load");
  app.add_option("--module", o.modulePath, "the module to load (default: beside illhost)")
      ->type_name("PATH");
  app.add_flag("--json", o.json, "print JSON instead of a table");
  app.add_flag("--wide", o.wide, "do not cut long cells of the table");
  app.add_option("--save", save, "write FILE back to OUT with every track stored (one FILE only)")
      ->type_name("OUT");
  app.add_option("--explain", explain,
                 "show each step of one track, the host calls it made and why it has its name "
                 "type")
      ->type_name("TRACK");
  app.add_flag("--trace", o.trace, "let the module's trace lines through to standard error");
  app.add_option("FILE", o.files, "illustrations to run in turn (default: a built-in sample)")
      ->type_name("");
  app.footer(Footer());

  try {
    app.parse(argc, argv);
  } catch (CLI::CallForHelp const&) {
    out << app.help();
    return {std::nullopt, kDone, {}};
  } catch (CLI::ParseError const& e) {
    return UsageError(e.what());
  }
  if (app.count("--module") > 0 && o.modulePath.empty())
    return UsageError("--module: the path is empty");
  if (o.modulePath.empty()) o.modulePath = DefaultModulePath();
  if (version) {
    out << "illhost " << ILLANIMATION_VERSION << "\nmodule: " << EscapeControls(o.modulePath)
        << '\n';
    return {std::nullopt, kDone, {}};
  }
  if (app.count("--save") > 0) {
    if (save.empty()) return UsageError("--save: the path is empty");
    if (o.files.size() > 1) return UsageError("--save takes one FILE only");
    o.savePath = save;
  }
  if (app.count("--explain") > 0) o.explainTrack = explain;
  std::set<std::string> seen;
  for (auto const& file : o.files) {
    if (file.empty()) return UsageError("FILE: an empty name is no file");
    if (!seen.insert(file).second) return UsageError(QuoteInput(file) + ": given more than once");
  }
  return {std::move(o), kDone, {}};
}

}  // namespace illhost
