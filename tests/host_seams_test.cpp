// The stand-in's test seams, on which every other check rests: the reference ledger, fault
// injection and the call log. The counted references themselves are checked through the ledger
// by the property test of a track's life and by the fault sweep.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/utilities.h"
#include "hostseams.h"

namespace {

using du::SmartPtr;

class Probe : public du::RefCounted {};

class Ledger : public ::testing::Test {
 protected:
  Ledger() { hostseams::Ledger::Enable(true); }
  ~Ledger() override { hostseams::Ledger::Enable(false); }
};

TEST_F(Ledger, CheckNoticesAnyReferenceNotGivenBackByItsHolder) {
  using Kept = std::vector<SmartPtr<Probe>>;  // lives until the check
  struct Row {
    char const* what;
    void (*change)(SmartPtr<Probe>& owner, Kept& kept);
    char const* reported;  // empty when the ledger stays balanced
  } const rows[] = {
      {"a reference taken and given back", [](SmartPtr<Probe>& o, Kept&) { SmartPtr<Probe>{o}; },
       ""},
      {"an object made and destroyed", [](SmartPtr<Probe>&, Kept&) { SmartPtr<Probe>{new Probe}; },
       ""},
      {"one extra reference", [](SmartPtr<Probe>& o, Kept& kept) { kept.push_back(o); },
       "references 1 -> 2"},
      {"a new object still held",
       [](SmartPtr<Probe>&, Kept& kept) { kept.emplace_back(new Probe); }, "new object"},
      {"an object destroyed", [](SmartPtr<Probe>& o, Kept&) { o.reset(); }, "destroyed"},
      {"a reference handed to another holder",
       [](SmartPtr<Probe>& o, Kept& kept) { kept.push_back(std::move(o)); }, "changed holder"},
  };
  for (auto const& row : rows) {
    SmartPtr<Probe> owner(new Probe);
    Kept kept;
    hostseams::LedgerCheck check;
    row.change(owner, kept);
    std::string const reported = row.reported;
    EXPECT_EQ(check.Balanced(), reported.empty()) << row.what;
    EXPECT_EQ(check.Difference().empty(), reported.empty()) << row.what;
    EXPECT_NE(check.Difference().find(reported), std::string::npos) << row.what << '\n'
                                                                    << check.Difference();
  }
}

// Host calls that need no illustration: each constructs a localizer.
void MakeHostCalls(int calls) {
  for (int i = 0; i < calls; ++i) du::Localizer const localizer("catalogue");
}

TEST(Faults, OnlyTheNthHostCallFromArmingFailsAndTheFaultNamesIt) {
  for (std::int64_t n : {1, 2, 5}) {
    MakeHostCalls(3);  // calls before arming do not count
    hostseams::Faults::FailAt(n);
    std::vector<std::int64_t> failed;
    for (std::int64_t call = 1; call <= 7; ++call) {
      try {
        MakeHostCalls(1);
      } catch (hostseams::HostFault const& fault) {
        failed.push_back(call);
        EXPECT_EQ(fault.m_number, n);
        EXPECT_EQ(fault.m_call, "du::Localizer::Localizer");
        EXPECT_STREQ(fault.what(), "injected host fault in du::Localizer::Localizer");
      }
      EXPECT_EQ(hostseams::Faults::Armed(), call < n) << "n " << n << ", call " << call;
    }
    EXPECT_EQ(failed, std::vector<std::int64_t>{n});
  }
}

// A count of a name that no host call records would pass as "not called" whatever the module
// does, for instance after the call was renamed.
TEST(CallLog, CountRefusesANameThatNoHostCallRecords) {
  for (char const* name : {"", "du::Localizer::Localiser", "Localizer", "du::Localizer::Localizer ",
                           "animation::TrackData::SetTrackName()", "GetTrackName"})
    EXPECT_THROW(hostseams::CallLog::Count(name), std::invalid_argument) << '"' << name << '"';
  // Calls of every host library are known, made or not.
  for (char const* name :
       {"qmk::World::GetWorld", "qmk::illustration::SbomTree::FindInstance",
        "qmkapp::illustration::TesselApp::GetSbomTree", "qmannotations::Callout::GetDefinition",
        "qmcallouts::Callouts::GenerateLabelString", "dp::QMTracer::operator()"})
    EXPECT_NO_THROW(hostseams::CallLog::Count(name)) << name;
}

}  // namespace
