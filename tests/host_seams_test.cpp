// The stand-in's counted references and test seams, on which every other check rests: smart
// pointers, the release protocol and its debug checks, the reference ledger, fault injection
// and the call log.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/utilities.h"
#include "hostseams.h"

namespace {

using du::ConstSmartPtr;
using du::SmartPtr;

// What happened to a probe, kept outside it so that it can be read after the probe is gone.
struct Events {
  int asked = 0;  // by the release protocol, whether it may go
  int destroyed = 0;
};

class Probe : public du::RefCounted {
 public:
  explicit Probe(Events* events = nullptr) : events_(events) {}
  ~Probe() override {
    if (events_) ++events_->destroyed;
  }
  bool ZeroReferenceCountHook() const override {
    if (events_) ++events_->asked;
    return true;
  }

 private:
  Events* events_;
};
class DerivedProbe : public Probe {
 public:
  using Probe::Probe;
};
class Unrelated : public du::RefCounted {};

class Counted : public ::testing::Test {
 protected:
  Counted() { hostseams::Ledger::Enable(true); }
  ~Counted() override { hostseams::Ledger::Enable(false); }
};

using SmartPointers = Counted;

// One object, an owner and more pointers that each step fills or changes: after every step the
// object has the references that the pointers hold, and when they go it has the owner's only.
// Assignments to itself are in the next test, where a wrong count destroys or leaks the object.
TEST_F(SmartPointers, CopiesTakeAReferenceMovesHandTheirsOnAndEveryOneIsGivenBack) {
  using Owner = SmartPtr<DerivedProbe> const&;
  struct Pointers {
    std::optional<SmartPtr<DerivedProbe>> a, b;
    std::optional<SmartPtr<Probe>> base;
    std::optional<ConstSmartPtr<DerivedProbe>> c, d;
  };
  struct Step {
    char const* what;
    void (*run)(Pointers&, Owner);
    int count;  // references after the step, the owner's included
  } const steps[] = {
      {"copy construction", [](Pointers& p, Owner owner) { p.a.emplace(owner); }, 2},
      {"move construction", [](Pointers& p, Owner) { p.b.emplace(std::move(*p.a)); }, 2},
      {"copy assignment", [](Pointers& p, Owner) { *p.a = *p.b; }, 3},
      {"move assignment", [](Pointers& p, Owner) { *p.a = std::move(*p.b); }, 2},
      {"assignment of nullptr", [](Pointers& p, Owner) { *p.a = nullptr; }, 1},
      {"assignment of a pointer", [](Pointers& p, Owner owner) { *p.b = owner.get(); }, 2},
      {"converting construction", [](Pointers& p, Owner owner) { p.base.emplace(owner); }, 3},
      {"converting assignment", [](Pointers& p, Owner) { *p.base = *p.b; }, 3},
      {"down-cast", [](Pointers& p, Owner) { *p.a = p.base->DynamicCast<DerivedProbe>(); }, 4},
      {"cast to an unrelated class", [](Pointers& p, Owner) { p.base->DynamicCast<Unrelated>(); },
       4},
      {"static cast", [](Pointers& p, Owner) { *p.a = p.base->StaticCast<DerivedProbe>(); }, 4},
      {"reset", [](Pointers& p, Owner) { p.base->reset(); }, 3},
      {"read-only from a pointer", [](Pointers& p, Owner owner) { p.c.emplace(owner); }, 4},
      {"read-only from a const pointer",
       [](Pointers& p, Owner owner) { p.d.emplace(&std::as_const(*owner)); }, 5},
      {"read-only copy", [](Pointers& p, Owner) { p.d.emplace(*p.c); }, 5},
      {"read-only copy assignment", [](Pointers& p, Owner) { *p.c = *p.d; }, 5},
      {"read-only move", [](Pointers& p, Owner) { p.d.emplace(std::move(*p.c)); }, 4},
      {"read-only move assignment", [](Pointers& p, Owner) { *p.c = std::move(*p.d); }, 4},
  };
  Events events;
  SmartPtr<DerivedProbe> const owner(new DerivedProbe(&events));
  hostseams::LedgerCheck ledger;
  {
    Pointers pointers;
    for (auto const& step : steps) {
      step.run(pointers, owner);
      EXPECT_EQ(owner->GetReferenceCount(), step.count) << step.what;
    }
  }
  EXPECT_EQ(owner->GetReferenceCount(), 1);
  EXPECT_TRUE(ledger.Balanced()) << ledger.Difference();
  EXPECT_EQ(events.asked, 0);
  EXPECT_EQ(events.destroyed, 0);
}

// The release protocol, seen from the only holder of an object: the object goes when that
// reference goes, after its hook is asked, and not before.
TEST_F(SmartPointers, TheLastReleaseAsksTheHookOnceAndDestroysTheObjectOnce) {
  struct Row {
    char const* what;
    void (*run)(SmartPtr<Probe>&);
    bool gone;
  } const rows[] = {
      {"nothing", [](SmartPtr<Probe>&) {}, false},
      {"reset", [](SmartPtr<Probe>& sole) { sole.reset(); }, true},
      {"assignment of nullptr", [](SmartPtr<Probe>& sole) { sole = nullptr; }, true},
      {"assignment of another object", [](SmartPtr<Probe>& sole) { sole = new Probe; }, true},
      {"assignment of the pointer held", [](SmartPtr<Probe>& sole) { sole = sole.get(); }, false},
      {"copy assignment to itself", [](SmartPtr<Probe>& sole) { sole = *&sole; }, false},
      {"move assignment to itself", [](SmartPtr<Probe>& sole) { sole = std::move(*&sole); }, false},
      {"moved away", [](SmartPtr<Probe>& sole) { SmartPtr<Probe>{std::move(sole)}; }, true},
      {"copied", [](SmartPtr<Probe>& sole) { SmartPtr<Probe>{sole}; }, false},
  };
  for (auto const& row : rows) {
    Events events;
    hostseams::LedgerCheck ledger;
    {
      SmartPtr<Probe> sole(new Probe(&events));
      row.run(sole);
      EXPECT_EQ(events.asked, row.gone ? 1 : 0) << row.what;
      EXPECT_EQ(events.destroyed, row.gone ? 1 : 0) << row.what;
    }
    EXPECT_EQ(events.asked, 1) << row.what;
    EXPECT_EQ(events.destroyed, 1) << row.what;
    EXPECT_TRUE(ledger.Balanced()) << row.what << '\n' << ledger.Difference();
  }
}

// Debug builds stop a release of a reference that was never taken, and the destruction of an
// object that a smart pointer still holds (say, one on the stack).
TEST(CountedReferencesDeathTest, DebugBuildsStopANegativeCountAndTheDestructionOfAHeldObject) {
#ifdef NDEBUG
  GTEST_SKIP() << "the stand-in checks counted references in debug builds only";
#else
  EXPECT_DEATH(
      {
        Probe object;
        object.RemoveReference(&object);
      },
      "count would go negative");
  EXPECT_DEATH(
      {
        SmartPtr<Probe> held;
        Probe onTheStack;
        held = &onTheStack;
      },
      "destroyed while references to it remain");
#endif
}

using Ledger = Counted;

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
  hostseams::Faults::FailAt(2);
  MakeHostCalls(1);
  hostseams::Faults::Disarm();
  EXPECT_NO_THROW(MakeHostCalls(3));
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
