// Classifying unresolved tracks, per member of the target, and the split of a name remainder
// against the regular expression that expresses the same split.
#include <regex>

#include "callout_label_name_matching.h"
#include "illustration.h"

namespace bench {
namespace {

using illanimation::NameType;

// Each call starts the track unresolved again, so every iteration runs the whole classification.
void Classify(benchmark::State& state,
              du::SmartPtr<illanimation::IllustrationItemTrack> const& track,
              du::SmartPtr<animation::Target> const& target, int members) {
  Loop(state, [&] {
    track->SetNameType(NameType::Unresolved);
    benchmark::DoNotOptimize(track->GetTargetDescription(target));
  });
  if (track->GetNameType() != static_cast<std::int16_t>(NameType::FromTarget))
    state.SkipWithError("the track did not classify as following its target");
  state.counters["members"] = members;
  state.counters["per_member"] = benchmark::Counter(
      members, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ClassifyKind(benchmark::State& state, Kind kind) {
  Illustration illustration;
  Classify(state, illustration.Track(Illustration::FollowingName(kind), NameType::Unresolved),
           illustration.TargetOf(kind), 1);
}

void ClassifyGroup(benchmark::State& state) {
  Illustration illustration;
  int const members = static_cast<int>(state.range(0));
  std::string name;
  auto const target = illustration.CalloutGroup(members, name);
  Classify(state, illustration.Track(name, NameType::Unresolved), target, members);
}

std::string Remainder(int pieces) {
  std::string text;
  for (int i = 0; i < pieces; ++i) text += (i ? ", SB-" : "SB-") + std::to_string(1000 + i);
  return text;
}

void SplitModule(benchmark::State& state) {
  std::string const text = Remainder(static_cast<int>(state.range(0)));
  Loop(state, [&] { benchmark::DoNotOptimize(illanimation::SplitNameRemainder(text)); });
}

void SplitRegex(benchmark::State& state) {
  std::string const text = Remainder(static_cast<int>(state.range(0)));
  std::regex const separator(", ", std::regex::ECMAScript);
  Loop(state, [&] {
    std::vector<std::string> pieces(
        std::sregex_token_iterator(text.begin(), text.end(), separator, -1),
        std::sregex_token_iterator());
    benchmark::DoNotOptimize(pieces);
  });
}

BENCHMARK_CAPTURE(ClassifyKind, instance, Kind::Instance)->Name("F3_Classify/instance");
BENCHMARK_CAPTURE(ClassifyKind, face, Kind::Face)->Name("F3_Classify/face");
BENCHMARK_CAPTURE(ClassifyKind, centre_line, Kind::CenterLine)->Name("F3_Classify/centre_line");
BENCHMARK_CAPTURE(ClassifyKind, callout, Kind::Callout)->Name("F3_Classify/single_callout");
BENCHMARK(ClassifyGroup)->Name("F3_Classify/callout_group")->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(SplitModule)->Name("F4_Split/module")->Arg(3)->Arg(100)->Arg(1000);
BENCHMARK(SplitRegex)->Name("F4_Split/regex_token_iterator")->Arg(3)->Arg(100)->Arg(1000);

}  // namespace
}  // namespace bench
