// A track name matched against a single or grouped callout's label.
#include "fuzzed_illustration.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  hostseams::Ledger::Enable(true);
  {
    fuzzmodel::FuzzedIllustration model(in);
    auto callout = model.AddCallout();
    auto track = model.Track(illanimation::NameType::Unresolved);
    du::Symbol text(model.Text());
    fuzzmodel::Balanced([&] { track->ClassifyCalloutLabelName(callout, text); });
    auto const type = track->GetNameType();
    if (type != 0 && type != 1 && type != 3) std::abort();
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
