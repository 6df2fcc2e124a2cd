// A track name compared with the property values where a callout's label content shows them.
#include "fuzzed_illustration.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  hostseams::Ledger::Enable(true);
  {
    fuzzmodel::FuzzedIllustration model(in);
    auto track = model.Track(illanimation::NameType::Unresolved);
    du::SmartPtr<qmk::illustration::SbomInstance> instance;
    if (!model.Sboms().empty() && in.ConsumeBool()) instance = model.Any(model.Sboms());
    auto const content = model.Content();
    du::Symbol const label(model.Text());
    fuzzmodel::Balanced([&] { track->ClassifyNameByLabelContent(instance, content, label); });
    auto const type = track->GetNameType();
    if (type != 0 && type != 1) std::abort();
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
