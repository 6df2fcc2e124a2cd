#include <iostream>
#include <sstream>
#include <unordered_map>

#include "hostseams.h"
#include "seam_hooks.h"

// The names that the host calls' sites leave in their linker section (seam_hooks.h). On ELF the
// linker defines these bounds of the section in each library that has one; on PE the two
// markers are the section's first and last entries, and the linker may pad between parts with
// null entries.
#ifdef _WIN32
namespace {
[[gnu::used, gnu::section(".qmhc$a")]] char const* const qmHostCallNamesBegin = nullptr;
[[gnu::used, gnu::section(".qmhc$z")]] char const* const qmHostCallNamesEnd = nullptr;
// Read through volatile: the compiler may then not assume that a walk from one marker never
// reaches the other, distinct object.
char const* const* HostCallNamesBegin() {
  char const* const* volatile begin = &qmHostCallNamesBegin;
  return begin;
}
char const* const* HostCallNamesEnd() {
  char const* const* volatile end = &qmHostCallNamesEnd;
  return end;
}
}  // namespace
#else
extern "C" {
extern __attribute__((visibility("hidden"))) char const* const __start_qm_host_call_names[];
extern __attribute__((visibility("hidden"))) char const* const __stop_qm_host_call_names[];
}
namespace {
char const* const* HostCallNamesBegin() { return __start_qm_host_call_names; }
char const* const* HostCallNamesEnd() { return __stop_qm_host_call_names; }
}  // namespace
#endif

namespace hostseams {
namespace detail {

bool g_ledgerOn = false;

namespace {
struct State {
  std::unordered_map<void const*, std::unordered_map<void const*, int>> holders;
  std::int64_t calls = 0;
  std::int64_t failAt = 0;
  bool recording = false;
  std::vector<std::string> log;
  bool capturing = false;
  std::string trace;
};
// Never destroyed: objects may be released during static destruction in any order.
State& S() {
  static State* state = new State;
  return *state;
}
}  // namespace

void EnterHostCall(char const* name) {
  State& s = S();
  if (s.recording) s.log.emplace_back(name);
  ++s.calls;
  if (s.failAt != 0 && s.calls == s.failAt) {
    s.failAt = 0;
    throw HostFault(name, s.calls);
  }
}

void TrackObject(du::RefCounted const* object, bool alive) {
  if (alive)
    S().holders.emplace(object, std::unordered_map<void const*, int>{});
  else
    S().holders.erase(object);
}

void TrackReference(du::RefCounted const* object, void const* holder, int delta) {
  auto found = S().holders.find(object);
  if (found == S().holders.end()) return;
  int& count = found->second[holder];
  count += delta;
  if (count == 0) found->second.erase(holder);
}

void MoveReference(du::RefCounted const* object, void const* from, void const* to) {
  TrackReference(object, from, -1);
  TrackReference(object, to, +1);
}

void WriteTrace(std::string const& line) {
  if (S().capturing)
    S().trace += line;
  else
    std::cerr << line;
}

}  // namespace detail

using detail::S;

namespace {
// The holders of references to `object` with their counts, for diagnostics.
std::string Describe(void const* object) {
  std::ostringstream out;
  out << object << ":";
  auto found = S().holders.find(object);
  if (found == S().holders.end()) return out.str() + " not accounted";
  for (auto const& [holder, count] : found->second) out << ' ' << holder << "x" << count;
  return out.str();
}
}  // namespace

void Ledger::Enable(bool on) {
  detail::g_ledgerOn = on;
  if (!on) S().holders.clear();
}

std::map<void const*, int> Ledger::Snapshot() {
  std::map<void const*, int> counts;
  for (auto const& [object, holders] : S().holders) {
    int& total = counts[object];
    for (auto const& entry : holders) total += entry.second;
  }
  return counts;
}

namespace {
int Total(std::map<void const*, int> const& holders) {
  int total = 0;
  for (auto const& entry : holders) total += entry.second;
  return total;
}

// Every accounted object with the references that each holder holds on it.
LedgerCheck::Holdings CurrentHoldings() {
  LedgerCheck::Holdings holdings;
  for (auto const& [object, holders] : S().holders)
    holdings[object] = std::map<void const*, int>(holders.begin(), holders.end());
  return holdings;
}
}  // namespace

LedgerCheck::LedgerCheck() : before_(CurrentHoldings()) {}

// By holder, not only by count: each reference must stay with the holder that had it, and one
// handed on without a recorded move would later be given back by a holder that never took it.
bool LedgerCheck::Balanced() const { return CurrentHoldings() == before_; }

std::string LedgerCheck::Difference() const {
  std::ostringstream out;
  auto const now = CurrentHoldings();
  for (auto const& [object, holders] : now) {
    auto const was = before_.find(object);
    if (was == before_.end())
      out << "new object " << Describe(object) << '\n';
    else if (Total(was->second) != Total(holders))
      out << "references " << Total(was->second) << " -> " << Total(holders) << ": "
          << Describe(object) << '\n';
    else if (was->second != holders)
      out << "references changed holder: " << Describe(object) << '\n';
  }
  for (auto const& [object, holders] : before_)
    if (now.find(object) == now.end())
      out << "destroyed " << object << " (had " << Total(holders) << ")\n";
  return out.str();
}

HostFault::HostFault(std::string const& call, std::int64_t number)
    : std::runtime_error("injected host fault in " + call), m_call(call), m_number(number) {}
HostFault::~HostFault() = default;

void Faults::FailAt(std::int64_t n) {
  S().calls = 0;
  S().failAt = n;
}
void Faults::Disarm() { S().failAt = 0; }
bool Faults::Armed() { return S().failAt != 0; }

namespace {
bool IsHostCallName(std::string const& call) {
  for (char const* const* name = HostCallNamesBegin(); name != HostCallNamesEnd(); ++name)
    if (*name && call == *name) return true;
  return false;
}

// A query for a name that no host call records would always find nothing, which would turn a
// check that a call is not made into one that passes whatever the module does.
void RequireHostCallName(std::string const& call) {
  if (!IsHostCallName(call))
    throw std::invalid_argument("CallLog: no host call records the name '" + call + "'");
}
}  // namespace

void CallLog::Start() {
  S().log.clear();
  S().recording = true;
}
void CallLog::Stop() { S().recording = false; }
std::vector<std::string> const& CallLog::Calls() { return S().log; }
int CallLog::Count(std::string const& call) {
  RequireHostCallName(call);
  int n = 0;
  for (auto const& entry : S().log) n += entry == call ? 1 : 0;
  return n;
}

void TraceCapture::Start() {
  S().trace.clear();
  S().capturing = true;
}
std::string TraceCapture::Stop() {
  S().capturing = false;
  return std::move(S().trace);
}

}  // namespace hostseams
