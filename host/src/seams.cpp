#include <iostream>
#include <sstream>
#include <unordered_map>

#include "hostseams.h"
#include "seam_hooks.h"

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

void Ledger::Enable(bool on) {
  detail::g_ledgerOn = on;
  if (!on) S().holders.clear();
}
bool Ledger::Enabled() { return detail::g_ledgerOn; }

std::map<void const*, int> Ledger::Snapshot() {
  std::map<void const*, int> counts;
  for (auto const& [object, holders] : S().holders) {
    int total = 0;
    for (auto const& entry : holders) total += entry.second;
    counts[object] = total;
  }
  return counts;
}

std::size_t Ledger::LiveObjects() { return S().holders.size(); }

std::string Ledger::Describe(void const* object) {
  std::ostringstream out;
  out << object << ":";
  auto found = S().holders.find(object);
  if (found == S().holders.end()) return out.str() + " not accounted";
  for (auto const& [holder, count] : found->second) out << ' ' << holder << "x" << count;
  return out.str();
}

LedgerCheck::LedgerCheck() : before_(Ledger::Snapshot()) {}

bool LedgerCheck::Balanced() const { return Ledger::Snapshot() == before_; }

std::string LedgerCheck::Difference() const {
  std::ostringstream out;
  auto now = Ledger::Snapshot();
  for (auto const& [object, count] : now) {
    auto was = before_.find(object);
    if (was == before_.end())
      out << "new object " << Ledger::Describe(object) << '\n';
    else if (was->second != count)
      out << "references " << was->second << " -> " << count << ": " << Ledger::Describe(object)
          << '\n';
  }
  for (auto const& [object, count] : before_)
    if (now.find(object) == now.end()) out << "destroyed " << object << " (had " << count << ")\n";
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
std::int64_t Faults::Count() { return S().calls; }
void Faults::ResetCount() { S().calls = 0; }

void CallLog::Start() {
  S().log.clear();
  S().recording = true;
}
void CallLog::Stop() { S().recording = false; }
std::vector<std::string> const& CallLog::Calls() { return S().log; }
int CallLog::Count(std::string const& call) {
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
