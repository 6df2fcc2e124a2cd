// Arbitrary bytes as an illustration file: the reader either builds a model or reports a read
// error with a one-line message, and the model it builds gives back every reference when it
// goes. What it reads is written back stored and must read again, with the same tracks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "host/kernel.h"
#include "hostseams.h"
#include "illustration.h"

namespace {

void CheckWrittenBack(illhost::InputText const& input, illhost::Illustration const& read) {
  std::vector<illhost::TrackResult> results(read.tracks.size());
  for (std::size_t i = 0; i < results.size(); ++i) {
    results[i].shownName = read.tracks[i].id + "\n\"shown\"";
    results[i].saved = {{"name_type", static_cast<std::int64_t>(i % 4)}};
  }
  std::ostringstream out;
  illhost::WriteStoredIllustration(input, read, results, out);
  std::size_t const tracks = read.tracks.size();
  try {
    auto again = illhost::ReadIllustration(out.str(), "saved.json");
    if (again->tracks.size() != tracks || (tracks > 0 && !again->tracks[0].stored)) std::abort();
  } catch (illhost::ReadError const& e) {
    std::fprintf(stderr, "written back but not readable: %s\n%s\n", e.what(), out.str().c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
  std::string const text(reinterpret_cast<char const*>(data), size);
  // The world lives for the whole process; make it before counting.
  qmk::World::GetWorld();
  hostseams::Ledger::Enable(true);
  {
    hostseams::LedgerCheck ledger;
    auto const input = illhost::InputText::FromText(text, "fuzz.json");
    bool read = false;
    try {
      auto illustration = illhost::ReadIllustration(input);
      read = true;
      illustration.reset();
    } catch (illhost::ReadError const& e) {
      std::string const message = e.what();
      if (message.empty() || message.find('\n') != std::string::npos) std::abort();
    }
    if (!ledger.Balanced()) {
      std::fprintf(stderr, "references not given back:\n%s", ledger.Difference().c_str());
      std::abort();
    }
    if (read) CheckWrittenBack(input, *illhost::ReadIllustration(input));
  }
  hostseams::Ledger::Enable(false);
  return 0;
}
