// The one-line label text of any callout in any scene.
#include "callout_label_text.h"
#include "fuzzed_illustration.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  hostseams::Ledger::Enable(true);
  {
    fuzzmodel::FuzzedIllustration model(in);
    auto callout = model.AddCallout();
    auto scene = model.Scene();
    fuzzmodel::Balanced([&] {
      std::string const text = illanimation::GetCalloutLabelText(callout, scene.get()).str();
      // Only the object text of a callout outside a shape scene keeps its line breaks.
      if (dynamic_cast<qmk::ShapeScene*>(scene.get()) &&
          text.find_first_of("\r\n") != std::string::npos)
        std::abort();
    });
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
