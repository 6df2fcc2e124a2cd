// An unresolved track describes a target of any kind: classification runs, then the track
// describes from the name type that it settled on.
#include "fuzzed_illustration.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  hostseams::Ledger::Enable(true);
  {
    fuzzmodel::FuzzedIllustration model(in);
    for (int i = in.ConsumeIntegralInRange(1, 4); i > 0; --i) {
      auto target = model.Target();
      auto track = model.Track(illanimation::NameType::Unresolved);
      fuzzmodel::Balanced([&] {
        track->GetTargetDescription(target);
        track->GetTargetDescription(target);
        track->UpdateDisplayName(target->m_scene);
      });
      if (track->GetNameType() < 0 || track->GetNameType() > 3) std::abort();
    }
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
