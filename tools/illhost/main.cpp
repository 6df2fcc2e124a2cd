// illhost: loads the module as the host does, builds an illustration from a file (or the
// built-in sample) and shows what the module makes of each of its tracks.
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

#include "driver.h"
#include "illustration_reader.h"
#include "illustration_writer.h"
#include "input_text.h"
#include "module_loader.h"
#include "printers.h"

namespace {

constexpr char kUsage[] =
    "usage: illhost [--module PATH] [--json] [--save OUT.json] [FILE.json]\n"
    "  --module PATH   the module to load (default: the one built beside illhost)\n"
    "  --json          print the tracks as JSON instead of a table\n"
    "  --save OUT.json write the illustration back with every track stored\n"
    "  FILE.json       the illustration (default: a built-in sample)\n"
    "exit status: 0 done, 1 bad usage or file not written, 2 bad illustration, 3 module not "
    "usable\n";

bool WriteAtomically(std::string const& path, illhost::InputText const& source,
                     illhost::Illustration const& illustration,
                     std::vector<illhost::TrackResult> const& results) {
  std::string const temporary = path + ".tmp" + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    illhost::WriteStoredIllustration(source, illustration, results, out);
    if (!out.flush()) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string modulePath = ILLANIMATION_MODULE_PATH, savePath, file;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    std::string const arg = argv[i];
    if (arg == "--help") {
      std::cout << kUsage;
      return 0;
    } else if (arg == "--json") {
      json = true;
    } else if ((arg == "--module" || arg == "--save") && i + 1 < argc) {
      (arg == "--module" ? modulePath : savePath) = argv[++i];
    } else if (arg.rfind("--", 0) != 0 && file.empty()) {
      file = arg;
    } else {
      std::cerr << kUsage;
      return 1;
    }
  }

  std::optional<illhost::InputText> input;
  try {
    input = file.empty() ? illhost::InputText::Sample() : illhost::InputText::Load(file);
  } catch (illhost::ReadError const& e) {
    std::cerr << "illhost: " << e.what() << '\n';
    return 2;
  }

  du::SmartPtr<du::RefCounted> initializer;
  try {
    initializer = hostloader::PluginModule(modulePath).CreateAnimationInitializer();
  } catch (hostloader::LoadError const& e) {
    std::cerr << "illhost: " << e.what() << '\n';
    return 3;
  }
  std::unique_ptr<illhost::Illustration> illustration;
  try {
    illustration = illhost::ReadIllustration(*input);
  } catch (illhost::ReadError const& e) {
    std::cerr << "illhost: " << e.what() << '\n';
    return 2;
  }
  for (auto const& warning : illustration->warnings)
    std::cerr << "illhost: warning: " << warning << '\n';
  auto const results = illhost::DriveTracks(*illustration);
  if (json)
    std::cout << illhost::ResultsJson(results).dump(2) << '\n';
  else
    illhost::PrintTable(std::cout, results);
  if (!savePath.empty() && !WriteAtomically(savePath, *input, *illustration, results)) {
    std::cerr << "illhost: " << savePath << ": cannot be written\n";
    return 1;
  }
  return 0;
}
