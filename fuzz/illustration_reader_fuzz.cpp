// Arbitrary bytes as an illustration file: the reader either builds a model or reports a read
// error with a message, and the model it builds gives back every reference when it goes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/kernel.h"
#include "hostseams.h"
#include "illustration_reader.h"

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string const text(reinterpret_cast<char const*>(data), size);
  // The world lives for the whole process; make it before counting.
  qmk::World::GetWorld();
  hostseams::Ledger::Enable(true);
  {
    hostseams::LedgerCheck ledger;
    try {
      auto illustration = illhost::ReadIllustration(text, "fuzz.json");
    } catch (illhost::ReadError const& e) {
      if (std::string(e.what()).empty()) std::abort();
    }
    if (!ledger.Balanced()) {
      std::fprintf(stderr, "references not given back:\n%s", ledger.Difference().c_str());
      std::abort();
    }
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
