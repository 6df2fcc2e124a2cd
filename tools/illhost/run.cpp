#include "run.h"

#include <memory>
#include <optional>
#include <ostream>
#include <type_traits>
#include <utility>
#include <vector>

#include "atomic_save.h"
#include "driver.h"
#include "exit_status.h"
#include "illustration_reader.h"
#include "illustration_writer.h"
#include "input_text.h"
#include "json_text.h"
#include "messages.h"
#include "module_loader.h"
#include "output.h"
#include "quoting.h"

namespace illhost {
namespace {

class Runner {
 public:
  Runner(Options const& options, std::ostream& out) : o_(options), out_(out) {}

  int RunAll() {
    if (o_.savePath) {
      try {
        CheckSaveTarget(*o_.savePath);
      } catch (SaveError const& e) {
        Fail(kUsageOrOutput, e.what());
        return status_;
      }
    }
    bool const several = o_.files.size() > 1;
    if (o_.files.empty()) {
      RunOne(InputText::Sample, "", false, true);
    } else {
      for (auto const& file : o_.files) {
        bool const last = &file == &o_.files.back();
        if (!RunOne([&] { return InputText::Load(file); }, file, several, last)) break;
      }
    }
    // Files that all fail print nothing, as one bad file does.
    if (several && o_.json && shown_ > 0) out_ << "\n}\n";
    return status_;
  }

 private:
  void Fail(int status, std::string const& message) {
    ReportError(message);
    if (status_ == kDone) status_ = status;
  }

  // False when nothing further can run (the module cannot be loaded).
  template <class LoadInput>
  bool RunOne(LoadInput const& load, std::string const& file, bool several, bool last) {
    std::optional<InputText> input;
    std::unique_ptr<Illustration> illustration;
    try {
      input = load();
      illustration = ReadIllustration(*input);
    } catch (ReadError const& e) {
      Fail(kBadInput, e.what());
      return true;
    }
    for (auto const& warning : illustration->warnings) ReportWarning(warning);
    std::string const name = input->Name();
    if (!o_.savePath) input.reset();  // only --save reads the text again
    if (!LoadModule()) return false;

    DriveOutcome outcome = DriveTracks(*illustration, o_.explainTrack);
    if (o_.explainTrack && !outcome.explained) {
      Fail(kUsageOrOutput, name + ": no track has the id " + QuoteInput(*o_.explainTrack));
      return true;
    }
    // The file is saved before anything is printed, so that a slow or closed reader of the
    // output cannot hold the save back.
    if (o_.savePath) Save(*input, *illustration, outcome);
    Show(*illustration, outcome, file, several);
    if (last) {
      LeaveToExit(std::move(illustration));
      LeaveToExit(std::move(outcome));
    }
    return true;
  }

  // What the last file built is left for the process's exit to free at once: freeing the
  // objects of a million tracks one by one takes about a second, and nothing reads them again.
  template <class T>
  static void LeaveToExit(T&& value) {
    static auto* const left = new std::vector<std::shared_ptr<void>>;
    left->push_back(std::make_shared<std::decay_t<T>>(std::forward<T>(value)));
  }

  bool LoadModule() {
    if (initializer_) return true;
    try {
      initializer_ = hostloader::PluginModule(o_.modulePath).CreateAnimationInitializer();
    } catch (hostloader::LoadError const& e) {
      Fail(kModuleUnusable, e.what());
      return false;
    }
    return true;
  }

  void Show(Illustration const& ill, DriveOutcome const& outcome, std::string const& file,
            bool several) {
    int const indent = several && o_.json ? 2 : 0;
    if (several) {
      std::string heading;
      if (o_.json) {
        heading = shown_ > 0 ? ",\n  " : "{\n  ";
        AppendJsonString(heading, file);
        heading += ": ";
      } else {
        heading = (shown_ > 0 ? "\n" : "") + EscapeControls(file) + ":\n";
      }
      out_.write(heading.data(), static_cast<std::streamsize>(heading.size()));
    }
    ++shown_;
    if (o_.explainTrack) {
      std::size_t const index = *outcome.explained;
      Explanation const e{
          outcome.results[index].id, outcome.steps,
          ExplainNameType(ill.tracks[index], outcome.results[index], outcome.steps)};
      if (o_.json)
        PrintExplanationJson(out_, e, indent);
      else
        PrintExplanation(out_, e);
    } else if (o_.json) {
      PrintTracksJson(out_, outcome.results, indent);
    } else {
      PrintTable(out_, outcome.results, o_.wide);
    }
    if (o_.json && !several) out_ << '\n';
  }

  void Save(InputText const& input, Illustration const& ill, DriveOutcome const& outcome) {
    try {
      SaveAtomically(*o_.savePath, [&](std::ostream& file) {
        WriteStoredIllustration(input, ill, outcome.results, file);
      });
    } catch (SaveError const& e) {
      Fail(kUsageOrOutput, e.what());
    }
  }

  Options const& o_;
  std::ostream& out_;
  int status_ = kDone;
  int shown_ = 0;
  du::SmartPtr<du::RefCounted> initializer_;
};

}  // namespace

int Run(Options const& options, std::ostream& out) { return Runner(options, out).RunAll(); }

}  // namespace illhost
