#include "command_line.h"

#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <ostream>
#include <set>
#include <string_view>
#include <utility>

#include "illanimation/version.h"
#include "name_types.h"
#include "quoting.h"

namespace illhost {
namespace {

constexpr char kDescription[] =
    "illhost loads the illanimation module as the host does, builds the illustration in each "
    "FILE (JSON; \"-\" reads standard input; no FILE runs a built-in sample) and shows, for each "
    "track, what the module makes of it.";

constexpr char kRules[] =
    "Options may come before or after the files; \"--\" ends them; a FILE given twice (by any\n"
    "name) is a usage error. A value may not begin with '-' (write ./-x for a file named -x,\n"
    "--explain=-x for a track whose id is -x), and a flag takes no value. The whole line is\n"
    "checked first: a usage error is reported (exit 1) even with -h or -V.\n";

constexpr char kExitStatuses[] =
    "Exit status: 0 done; 1 bad usage, output or --save not written, an --explain TRACK that\n"
    "the file does not have, or out of memory; 2 a FILE that cannot be read or is not a valid\n"
    "illustration; 3 the module cannot be loaded or does not answer the component request,\n"
    "or illhost cannot find its own path to look for it. Every failure is one line on standard\n"
    "error; warnings (\"illhost: warning: ...\") leave the exit status unchanged.\n";

std::string NameTypeLegend() {
  std::string legend = "Name types (column 'was' before GetTargetDescription, 'now' after it):\n";
  for (NameType const& row : kNameTypes) {
    std::string tag = row.word + (" (" + std::to_string(row.value) + ")");
    tag.resize(std::max<std::size_t>(tag.size() + 2, 16), ' ');  // a column for the meanings
    legend += "  " + tag + row.meaning + "\n";
  }
  return legend + "  a number        " + kOtherNameType + "\n  -               " + kNoNameType +
         "\n";
}

// Beside the running program, installed or in a build folder; the installed path when neither
// exists, so that the error names where the module was expected. A path relative to the
// current folder is never tried.
std::string DefaultModulePath(std::error_code& error) {
  namespace fs = std::filesystem;
  fs::path const folder = fs::read_symlink("/proc/self/exe", error).parent_path();
  if (error || folder.is_relative()) return {};
  constexpr char const* kCandidates[] = {"../lib/illanimation/libillanimation.so",
                                         "../plugin/libillanimation.so"};
  for (char const* candidate : kCandidates) {
    fs::path const found = fs::canonical(folder / candidate, error);
    if (!error) return found.string();
  }
  return (folder / kCandidates[0]).string();
}

CommandLine UsageError(std::string const& what) {
  return {std::nullopt, kUsageOrOutput, what + " (see illhost --help)"};
}

// So that a forgotten value does not swallow the option after it.
CLI::Validator const kNotAnOption(
    [](std::string& value) {
      return value.rfind('-', 0) == 0
                 ? "a value may not begin with '-' (got '" + EscapeControls(value) + "')"
                 : std::string();
    },
    "");

// What the parser would take otherwise: a flag given a value ("--wide=3", "-h0"), which it
// would read as true or false, and a word of three dashes, which it would take for a FILE.
std::string MisusedOption(CLI::App& app, int argc, char const* const* argv, bool& explainAttached) {
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    std::string_view const arg(argv[i]);
    if (arg.rfind("---", 0) == 0)
      return "unknown option '" + EscapeControls(arg.substr(0, arg.find('='))) + "'";
    bool const shortFlag = arg.size() > 2 && arg[0] == '-' && arg[1] != '-';
    std::size_t const equals = shortFlag ? 2 : arg.find('=');
    if ((!shortFlag && arg.rfind("--", 0) != 0) || equals == std::string_view::npos) continue;
    std::string const name(arg.substr(0, equals));
    explainAttached |= name == "--explain";
    CLI::Option const* option = app.get_option_no_throw(name);
    if (option && option->get_expected_max() == 0) return name + ": takes no value";
  }
  return {};
}

std::string UsageMessage(CLI::App const& app, CLI::ParseError const& e) {
  std::string what = e.what();
  if (dynamic_cast<CLI::ExtrasError const*>(&e) && !app.remaining().empty()) {
    std::string const option = app.remaining().front();
    return "unknown option '" + EscapeControls(option.substr(0, option.find('='))) + "'";
  }
  // Too few values, or a second one: the message starts with the option's name.
  std::string const name = what.substr(0, what.find(':'));
  if (dynamic_cast<CLI::ArgumentMismatch const*>(&e))
    return name + (app.count(name) > 1 ? ": given more than once" : ": needs a value");
  return EscapeControls(what);
}

// A FILE given twice is the same file by any name: its device and inode.
std::string WrongFile(std::vector<std::string> const& files) {
  std::set<std::string> seen;
  std::set<std::pair<dev_t, ino_t>> inodes;
  for (auto const& file : files) {
    struct stat st {};
    if (file.empty()) return "FILE: an empty name is no file";
    if (!seen.insert(file).second || (file != "-" && stat(file.c_str(), &st) == 0 &&
                                      !inodes.emplace(st.st_dev, st.st_ino).second))
      return QuoteInput(file) + ": given more than once";
  }
  return {};
}

}  // namespace

CommandLine ParseCommandLine(int argc, char const* const* argv, std::ostream& out) {
  Options o;
  std::string save, explain;
  bool help = false, version = false;
  CLI::App app(kDescription, "illhost");
  // Help is an ordinary flag, so that it is answered only once the whole line is valid.
  app.set_help_flag();
  app.add_flag("-h,--help", help, "print this help and exit");
  app.add_flag("-V,--version", version, "print illhost's version and the module it would load");
  app.add_option("--module", o.modulePath,
                 "the module to load, a path (default: the one beside illhost)")
      ->type_name("PATH")
      ->check(kNotAnOption);
  app.add_flag("--json", o.json, "print JSON instead of a table");
  app.add_flag("--wide", o.wide, "do not cut long cells of the table");
  app.add_option("--save", save,
                 "write FILE back to OUT with every track stored (needs exactly one FILE)")
      ->type_name("OUT")
      ->check(kNotAnOption);
  app.add_option("--explain", explain,
                 "show each step of one track, the host calls it made and why it has its name "
                 "type")
      ->type_name("TRACK");
  app.add_flag("--trace", o.trace, "let the module's trace lines through to standard error");
  app.add_option("FILE", o.files, "illustrations to run in turn (default: a built-in sample)")
      ->type_name("");
  app.footer(std::string("\n") + kRules + "\n" + NameTypeLegend() + "\n" + kExitStatuses);

  bool explainAttached = false;
  if (std::string const misused = MisusedOption(app, argc, argv, explainAttached); !misused.empty())
    return UsageError(misused);
  try {
    app.parse(argc, argv);
  } catch (CLI::ParseError const& e) {
    return UsageError(UsageMessage(app, e));
  }
  if (app.count("--module") > 0 && o.modulePath.empty())
    return UsageError("--module: the path is empty");
  // A name without a slash is a file in the current folder, never a search of the system's.
  if (!o.modulePath.empty() && o.modulePath.find('/') == std::string::npos)
    o.modulePath.insert(0, "./");
  if (app.count("--save") > 0) {
    if (save.empty()) return UsageError("--save: the path is empty");
    if (o.files.size() != 1) return UsageError("--save needs exactly one FILE");
    o.savePath = save;
  }
  if (app.count("--explain") > 0) {
    // Only "--explain=ID" may give an id that begins with '-'.
    if (std::string const why = kNotAnOption(explain); !explainAttached && !why.empty())
      return UsageError("--explain: " + why);
    o.explainTrack = explain;
  }
  if (std::string const wrong = WrongFile(o.files); !wrong.empty()) return UsageError(wrong);
  if (help) {
    out << app.help();
    return {std::nullopt, kDone, {}};
  }
  std::error_code error;
  if (o.modulePath.empty()) o.modulePath = DefaultModulePath(error);
  if (o.modulePath.empty())
    return {std::nullopt, kModuleUnusable,
            "cannot find illhost's own path, beside which its module is (/proc/self/exe: " +
                error.message() + "); give --module PATH"};
  if (version) {
    out << "illhost " << ILLANIMATION_VERSION << "\nmodule: " << EscapeControls(o.modulePath)
        << '\n';
    return {std::nullopt, kDone, {}};
  }
  return {std::move(o), kDone, {}};
}

}  // namespace illhost
