// An illustration for the benchmarks: one target of each kind that a track can follow, and
// helpers that run a benchmark loop while counting its heap allocations.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "IllustrationItemTrack.h"
#include "allocation_counter.h"
#include "model.h"
#include "part_fixture.h"
#include "standin_texts.h"

namespace bench {

enum class Kind { Instance, Face, CenterLine, GenericCenterLine, Callout };

struct Illustration {
  Illustration();

  // A target of the kind, and a track name that an unresolved track classifies as following it.
  du::SmartPtr<animation::Target> TargetOf(Kind kind) const;
  static std::string FollowingName(Kind kind);

  // A callout group of `members` callouts, each labelling its own SBOM instance, and the track
  // name made from their SBOM names.
  du::SmartPtr<animation::Target> CalloutGroup(int members, std::string& followingName);

  // A track made through the host's create hook, in the benchmark's timeline.
  du::SmartPtr<illanimation::IllustrationItemTrack> Track(std::string const& name,
                                                          illanimation::NameType type);

  hostmodel::Model model;
  testsupport::PartFixture fixture{model};
  du::SmartPtr<qmannotations::CenterLinesAnnotation> line;
  du::SmartPtr<qmannotations::Callout> callout;
  du::SmartPtr<animation::Timeline> timeline;
  std::vector<du::SmartPtr<animation::Target>> targets;  // by Kind
};

// Runs `call` in the benchmark loop and reports the heap allocations per call as "allocs".
template <class Call>
void Loop(benchmark::State& state, Call&& call) {
  std::uint64_t const before = Heap().allocations;
  for (auto _ : state) call();
  state.counters["allocs"] = benchmark::Counter(static_cast<double>(Heap().allocations - before),
                                                benchmark::Counter::kAvgIterations);
}

}  // namespace bench
