// Test seams of the host stand-in: a reference ledger, fault injection, call records and
// trace capture. Tests and tools use these; the module never includes this header.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/utilities.h"

namespace hostseams {

// Accounts for every counted reference by object and holder while it is enabled.
// Objects made before Enable() are not accounted for.
class QM_HOST_API Ledger {
 public:
  static void Enable(bool on);
  // Live accounted objects and the number of references each one holds.
  static std::map<void const*, int> Snapshot();
};

// Remembers the ledger as it stands and tells whether it stands so again: the same objects,
// each held by the same holders the same number of times.
class QM_HOST_API LedgerCheck {
 public:
  // Each accounted object with the references that each holder holds on it.
  using Holdings = std::map<void const*, std::map<void const*, int>>;

  LedgerCheck();
  bool Balanced() const;
  // What changed since construction, one object a line; empty when balanced.
  std::string Difference() const;

 private:
  Holdings before_;
};

// The exception that an injected fault throws from a host call.
class QM_HOST_API HostFault : public std::runtime_error {
 public:
  HostFault(std::string const& call, std::int64_t number);
  ~HostFault() override;
  std::string m_call;
  std::int64_t m_number;
};

class QM_HOST_API Faults {
 public:
  // The n-th host call from now (n >= 1) throws HostFault; later calls run normally.
  static void FailAt(std::int64_t n);
  static void Disarm();
  // Whether the fault is still to come.
  static bool Armed();
};

class QM_HOST_API CallLog {
 public:
  static void Start();  // clears the log and starts recording
  static void Stop();
  static std::vector<std::string> const& Calls();
  // How often the call was recorded. Throws std::invalid_argument for a name that no host call
  // records, so that a renamed call cannot turn a check into one that always passes.
  static int Count(std::string const& call);
};

class QM_HOST_API TraceCapture {
 public:
  static void Start();        // trace lines go to the capture instead of standard error
  static std::string Stop();  // returns what was captured
};

}  // namespace hostseams
