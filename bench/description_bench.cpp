// What a following track shows for its target and what its name calls cost, each next to the
// host calls that the same answer needs anyway. "allocs" is the heap allocations per call.
#include "host/callouts.h"
#include "illustration.h"

namespace bench {
namespace {

using illanimation::NameType;

std::string const kCatalogue = standin::kGenericMessageCatalogue;
std::string const kGenericMessage = standin::kGenericMessageId;

// The host calls that describing a target of this kind needs, with nothing around them: the
// display name, the localizer's generic name, and the result's symbol; for a centre line with
// the generic name the instance's display name; for a callout the label rendering.
du::Symbol HostCalls(Kind kind, du::SmartPtr<animation::Target> const& target) {
  std::string const shown = animation::engineutils::GetTargetDisplayName(target);
  {
    du::Localizer const localizer(kCatalogue);
    benchmark::DoNotOptimize(
        shown == localizer.LocalizeMessage(kGenericMessage, du::Localizer::ReturnMessageId));
  }
  if (kind != Kind::GenericCenterLine && kind != Kind::Callout) return du::Symbol(shown);
  du::SmartPtr<qmk::Annotation> annotation;
  animation::engineutils::GetAnnotationFromTarget(annotation, target);
  if (kind == Kind::GenericCenterLine) {
    du::Symbol name;
    annotation.DynamicCast<qmannotations::CenterLinesAnnotation>()
        ->GetObject(0)
        .DynamicCast<qmk::Instance>()
        ->GetInstanceDisplayName(name);
    return name;
  }
  auto callout = annotation.DynamicCast<qmannotations::Callout>();
  du::SmartPtr<qmcallouts::Callouts> engine =
      qmcallouts::GetCalloutsEngineForScene(target->m_scene.DynamicCast<qmk::ShapeScene>());
  qmannotations::LabelContentList content;
  du::SmartPtr<qmannotations::TAnnotation> definition = callout->GetDefinition();
  definition->GetTextContent(content);
  std::string label;
  engine->GenerateLabelString(callout, content, definition->IsMarkdown(), label);
  benchmark::DoNotOptimize(callout->GetShortObjectDescription());
  benchmark::DoNotOptimize(callout->IsMarkdown());
  return du::Symbol(label);
}

char const* Name(Kind kind) {
  switch (kind) {
    case Kind::Instance:
      return "instance";
    case Kind::Face:
      return "face";
    case Kind::CenterLine:
      return "centre_line";
    case Kind::GenericCenterLine:
      return "centre_line_generic_name";
    case Kind::Callout:
      return "callout";
  }
  return "";
}

void DescribeFollowing(benchmark::State& state, Kind kind) {
  Illustration illustration;
  auto const target = illustration.TargetOf(kind);
  auto const track = illustration.Track("anything", NameType::FromTarget);
  Loop(state, [&] { benchmark::DoNotOptimize(track->GetTargetDescription(target)); });
}

void DescribeHostCalls(benchmark::State& state, Kind kind) {
  Illustration illustration;
  auto const target = illustration.TargetOf(kind);
  Loop(state, [&] { benchmark::DoNotOptimize(HostCalls(kind, target)); });
}

// Figure 2: a track's name and whether it follows the target, against the host's own track.
du::SmartPtr<animation::ItemTrackData> HostTrack(std::string const& name) {
  du::SmartPtr<animation::ItemTrackData> track(new animation::BasicItemTrackData);
  track->SetTrackName(name, {});
  return track;
}

void TrackName(benchmark::State& state, NameType type, std::string const& name) {
  Illustration illustration;
  du::SmartPtr<animation::ItemTrackData> const track = illustration.Track(name, type);
  animation::ItemTrackData* const call = track.get();
  benchmark::DoNotOptimize(call);
  Loop(state, [&] { benchmark::DoNotOptimize(call->GetTrackName()); });
}

void TrackNameHost(benchmark::State& state, std::string const& name) {
  auto const track = HostTrack(name);
  animation::ItemTrackData* const call = track.get();
  benchmark::DoNotOptimize(call);
  Loop(state, [&] { benchmark::DoNotOptimize(call->GetTrackName()); });
}

void UsesTargetName(benchmark::State& state) {
  Illustration illustration;
  du::SmartPtr<animation::ItemTrackData> const track =
      illustration.Track("x", NameType::FromTarget);
  animation::ItemTrackData* const call = track.get();
  benchmark::DoNotOptimize(call);
  Loop(state, [&] { benchmark::DoNotOptimize(call->UsesTargetName()); });
}

void UsesTargetNameHost(benchmark::State& state) {
  auto const track = HostTrack("x");
  animation::ItemTrackData* const call = track.get();
  benchmark::DoNotOptimize(call);
  Loop(state, [&] { benchmark::DoNotOptimize(call->UsesTargetName()); });
}

// The other calls of a track's life on one instance target, against the host's own track.
void Lifecycle(benchmark::State& state, bool module, int step) {
  Illustration illustration;
  auto const target = illustration.TargetOf(Kind::Instance);
  du::SmartPtr<animation::ItemTrackData> track;
  if (module) {
    track = illustration.Track("part.1", NameType::FromTarget);
  } else {
    track = HostTrack("part.1");
    illustration.timeline->AddTrack(track);
  }
  animation::PropertyWriter saved;
  track->Save(saved);
  animation::PropertyReader reader(saved.Entries());
  animation::ItemTrackData* const call = track.get();
  benchmark::DoNotOptimize(call);
  if (step == 0) {
    Loop(state, [&] { call->InitDisplayName(target); });
  } else if (step == 1) {
    // One writer per call would measure the writer; the module writes one key into it.
    for (auto _ : state) {
      state.PauseTiming();
      animation::PropertyWriter writer;
      std::uint64_t const before = Heap().allocations;
      state.ResumeTiming();
      call->Save(writer);
      state.PauseTiming();
      state.counters["allocs"] += static_cast<double>(Heap().allocations - before);
      state.ResumeTiming();
    }
    state.counters["allocs"] =
        benchmark::Counter(state.counters["allocs"], benchmark::Counter::kAvgIterations);
  } else {
    Loop(state, [&] { call->Load(reader); });
  }
}

[[maybe_unused]] bool const registered = [] {
  for (Kind kind :
       {Kind::Instance, Kind::Face, Kind::CenterLine, Kind::GenericCenterLine, Kind::Callout}) {
    std::string const base = std::string("F1_Describe/") + Name(kind);
    benchmark::RegisterBenchmark((base + "/module").c_str(), DescribeFollowing, kind);
    benchmark::RegisterBenchmark((base + "/host_calls").c_str(), DescribeHostCalls, kind);
  }
  for (auto const& [label, name] : {std::pair<char const*, std::string>{"short", "Part shown"},
                                    {"long", "Housing assembly, left-hand side"}}) {
    std::string const base = std::string("F2_GetTrackName/") + label;
    benchmark::RegisterBenchmark((base + "/module_follows_target").c_str(), TrackName,
                                 NameType::FromTarget, name);
    benchmark::RegisterBenchmark((base + "/module_own_name").c_str(), TrackName, NameType::Custom,
                                 name);
    benchmark::RegisterBenchmark((base + "/host_virtual").c_str(), TrackNameHost, name);
  }
  benchmark::RegisterBenchmark("F2_UsesTargetName/module", UsesTargetName);
  benchmark::RegisterBenchmark("F2_UsesTargetName/host_virtual", UsesTargetNameHost);
  char const* const steps[] = {"InitDisplayName", "Save", "Load"};
  for (int step = 0; step < 3; ++step) {
    std::string const base = std::string("F5_") + steps[step];
    benchmark::RegisterBenchmark((base + "/module").c_str(), Lifecycle, true, step);
    benchmark::RegisterBenchmark((base + "/host_track").c_str(), Lifecycle, false, step);
  }
  return true;
}();

}  // namespace
}  // namespace bench
