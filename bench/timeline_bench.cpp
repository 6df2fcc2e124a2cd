// A timeline of many tracks through their whole life: made through the create hook, given
// their targets, described, saved and loaded. The host's own item track is the baseline.
#include <chrono>
#include <map>

#include "illustration.h"

namespace bench {
namespace {

using Clock = std::chrono::steady_clock;

double NanosecondsPerTrack(Clock::time_point start, std::size_t tracks) {
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
         static_cast<double>(tracks);
}

void Timeline(benchmark::State& state, bool module) {
  Illustration illustration;
  // The host's own hook, as it was before the module's factories replaced it.
  auto const create =
      module ? animation::ItemTrackCreator::CreateItemTrackDataImpl
             : animation::ItemTrackCreator::CreateFunction([] {
                 return du::SmartPtr<animation::ItemTrackData>(new animation::BasicItemTrackData);
               });
  auto const tracks = static_cast<std::size_t>(state.range(0));
  std::vector<du::SmartPtr<animation::Target>> const& targets = illustration.targets;
  for (auto _ : state) {
    du::SmartPtr<animation::Timeline> timeline(new animation::Timeline);
    std::vector<du::SmartPtr<animation::ItemTrackData>> made;
    made.reserve(tracks);
    std::size_t const liveBefore = Heap().liveBytes;
    ResetHeapPeak();

    auto start = Clock::now();
    for (std::size_t i = 0; i < tracks; ++i) {
      made.push_back(create());
      timeline->AddTrack(made.back());
    }
    state.counters["create_ns"] = NanosecondsPerTrack(start, tracks);

    start = Clock::now();
    for (std::size_t i = 0; i < tracks; ++i) made[i]->InitDisplayName(targets[i % targets.size()]);
    state.counters["init_ns"] = NanosecondsPerTrack(start, tracks);

    start = Clock::now();
    for (std::size_t i = 0; i < tracks; ++i)
      benchmark::DoNotOptimize(made[i]->GetTargetDescription(targets[i % targets.size()]));
    state.counters["describe_ns"] = NanosecondsPerTrack(start, tracks);

    // One writer for the whole timeline, as a file would hold it.
    animation::PropertyWriter writer;
    start = Clock::now();
    for (std::size_t i = 0; i < tracks; ++i) made[i]->Save(writer);
    state.counters["save_ns"] = NanosecondsPerTrack(start, tracks);

    // One reader for each value that was saved; a track without a value reads an empty one.
    std::map<std::int64_t, animation::PropertyReader> readers;
    for (auto const& [key, value] : writer.Entries())
      if (!readers.count(value)) readers.emplace(value, animation::PropertyReader({{key, value}}));
    animation::PropertyReader empty;
    bool const saved = writer.Entries().size() == tracks;
    start = Clock::now();
    for (std::size_t i = 0; i < tracks; ++i)
      made[i]->Load(saved ? readers.at(writer.Entries()[i].second) : empty);
    state.counters["load_ns"] = NanosecondsPerTrack(start, tracks);

    state.counters["peak_heap_bytes_per_track"] =
        static_cast<double>(Heap().peakBytes - liveBefore) / static_cast<double>(tracks);
    timeline->Clear();
  }
  state.counters["track_object_bytes"] = static_cast<double>(
      module ? sizeof(illanimation::IllustrationItemTrack) : sizeof(animation::BasicItemTrackData));
  state.counters["bytes_beyond_ItemTrackData"] =
      static_cast<double>((module ? sizeof(illanimation::IllustrationItemTrack)
                                  : sizeof(animation::BasicItemTrackData)) -
                          sizeof(animation::ItemTrackData));
}

BENCHMARK_CAPTURE(Timeline, module, true)
    ->Name("F6_Timeline/module")
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Timeline, host_track, false)
    ->Name("F6_Timeline/host_track")
    ->Arg(1000000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
