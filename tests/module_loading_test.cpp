// Loads the built module as the host does and drives it through its exported entry points.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <typeinfo>
#include <utility>

#include "host/animation.h"
#include "hostseams.h"
#include "module_loader.h"
#include "standin_texts.h"

namespace {

constexpr char const* kType = standin::kAnimationComponentType;
constexpr char const* kName = standin::kAnimationComponentName;

bool IsIllustrationTrack(animation::ItemTrackData const& track) {
  return std::strstr(typeid(track).name(), "12illanimation21IllustrationItemTrack") != nullptr;
}

class ModuleLoading : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module_ = new hostloader::PluginModule(ILLANIMATION_MODULE_PATH);
    create_ = module_->CreateComponent();
  }
  void SetUp() override { hostseams::Ledger::Enable(true); }
  void TearDown() override { hostseams::Ledger::Enable(false); }

  static inline hostloader::PluginModule* module_ = nullptr;
  static inline hostloader::PluginModule::CreateComponentFunction create_ = nullptr;
};

TEST_F(ModuleLoading, OnlyTheExactRequestIsAnsweredAndOthersLeaveTheComponentAlone) {
  std::pair<char const*, char const*> const refused[] = {
      // type, name
      {"Animation", "illanimationinitializer"},  {"animation ", "illanimationinitializer"},
      {"", "illanimationinitializer"},           {"animation", "illanimationinitialize"},
      {"animation", "illanimationinitializers"}, {"animation", "IllAnimationInitializer"},
      {"illanimationinitializer", "animation"},
  };
  du::SmartPtr<du::RefCounted> held(new du::RefCounted);
  du::RefCounted* before = held.get();
  hostseams::LedgerCheck check;
  hostseams::TraceCapture::Start();
  for (auto const& [type, name] : refused) {
    EXPECT_FALSE(create_(type, nullptr, name, held)) << type << "/" << name;
    EXPECT_EQ(held.get(), before);
  }
  EXPECT_EQ(hostseams::TraceCapture::Stop(), "");
  EXPECT_TRUE(check.Balanced()) << check.Difference();
}

TEST_F(ModuleLoading, AMatchingRequestTracesOnceAndReplacesTheHeldObject) {
  hostseams::LedgerCheck check;
  {
    du::SmartPtr<du::RefCounted> component(new du::RefCounted);
    du::RefCounted* old = component.get();
    auto const heldBefore = hostseams::Ledger::Snapshot();
    ASSERT_EQ(heldBefore.count(old), 1u);

    hostseams::TraceCapture::Start();
    EXPECT_TRUE(create_(kType, nullptr, kName, component));
    EXPECT_EQ(hostseams::TraceCapture::Stop(),
              "[illanimation/plugin] Create ornatix animation initializer\n");

    // The old object lost its only reference; the new initializer holds exactly one.
    auto const heldAfter = hostseams::Ledger::Snapshot();
    EXPECT_EQ(heldAfter.count(old), 0u);
    ASSERT_NE(component.get(), nullptr);
    du::RefCounted const& made = *component;  // typeid of a plain reference: no call inside
    EXPECT_NE(std::strstr(typeid(made).name(), "IllAnimationInitializer"), nullptr);
    EXPECT_EQ(heldAfter.at(component.get()), 1);

    du::SmartPtr<du::RefCounted> second;
    EXPECT_TRUE(create_(kType, nullptr, kName, second));
    EXPECT_NE(second.get(), component.get());
  }
  EXPECT_TRUE(check.Balanced()) << check.Difference();
}

TEST_F(ModuleLoading, HooksKeepMakingIllustrationTracksAfterTheInitializerIsGone) {
  {
    du::SmartPtr<du::RefCounted> component;
    ASSERT_TRUE(create_(kType, nullptr, kName, component));
  }
  for (int i = 0; i < 3; ++i) {
    module_->Init()();
    module_->Terminate()();
    module_->Terminate()();
  }
  auto created = animation::ItemTrackCreator::CreateItemTrackDataImpl();
  ASSERT_NE(created.get(), nullptr);
  EXPECT_TRUE(IsIllustrationTrack(*created));
  auto copied = animation::ItemTrackCreator::CopyItemTrackDataImpl(created);
  ASSERT_NE(copied.get(), nullptr);
  EXPECT_NE(copied.get(), created.get());
  EXPECT_TRUE(IsIllustrationTrack(*copied));
}

}  // namespace
