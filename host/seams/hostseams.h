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
  static bool Enabled();
  // Live accounted objects and the number of references each one holds.
  static std::map<void const*, int> Snapshot();
  static std::size_t LiveObjects();
  // The holders of references to `object` with their counts, for diagnostics.
  static std::string Describe(void const* object);
};

// Remembers the ledger as it stands and tells whether it stands so again.
class QM_HOST_API LedgerCheck {
 public:
  LedgerCheck();
  bool Balanced() const;
  // What changed since construction, one object a line; empty when balanced.
  std::string Difference() const;

 private:
  std::map<void const*, int> before_;
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
  static bool Armed();
  // Host calls made since the last FailAt or ResetCount.
  static std::int64_t Count();
  static void ResetCount();
};

class QM_HOST_API CallLog {
 public:
  static void Start();  // clears the log and starts recording
  static void Stop();
  static std::vector<std::string> const& Calls();
  static int Count(std::string const& call);
};

class QM_HOST_API TraceCapture {
 public:
  static void Start();        // trace lines go to the capture instead of standard error
  static std::string Stop();  // returns what was captured
};

}  // namespace hostseams
