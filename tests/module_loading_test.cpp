// Loads the built module as the host does and drives it through its exported entry points.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <typeinfo>

#include "host/animation.h"
#include "hostseams.h"

namespace {

using CreateComponent = bool (*)(std::string const&, void*, std::string const&,
                                 du::SmartPtr<du::RefCounted>&);
using Lifecycle = void (*)();

bool IsIllustrationTrack(animation::ItemTrackData const& track) {
  return std::strstr(typeid(track).name(), "12illanimation21IllustrationItemTrack") != nullptr;
}

class ModuleLoading : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    handle_ = dlopen(ILLANIMATION_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    create_ = reinterpret_cast<CreateComponent>(dlsym(handle_, "QMDllCreateComponent"));
    init_ = reinterpret_cast<Lifecycle>(dlsym(handle_, "QMDllInit"));
    terminate_ = reinterpret_cast<Lifecycle>(dlsym(handle_, "QMDllTerminate"));
  }

  static void* handle_;
  static CreateComponent create_;
  static Lifecycle init_;
  static Lifecycle terminate_;
};

void* ModuleLoading::handle_ = nullptr;
CreateComponent ModuleLoading::create_ = nullptr;
Lifecycle ModuleLoading::init_ = nullptr;
Lifecycle ModuleLoading::terminate_ = nullptr;

TEST_F(ModuleLoading, EntryPointsAreExportedUnderPlainNames) {
  EXPECT_NE(create_, nullptr);
  EXPECT_NE(init_, nullptr);
  EXPECT_NE(terminate_, nullptr);
  EXPECT_EQ(dlsym(handle_, "CreateIllustrationItemTrack"), nullptr);
}

TEST_F(ModuleLoading, OnlyTheExactRequestIsAnsweredAndOthersLeaveTheComponentAlone) {
  struct Request {
    char const* type;
    char const* name;
  };
  Request const refused[] = {
      {"Animation", "illanimationinitializer"}, {"animation ", "illanimationinitializer"},
      {"", "illanimationinitializer"},          {"animation", "illanimationinitialize"},
      {"animation", "illanimationinitializers"}, {"animation", "IllAnimationInitializer"},
      {"illanimationinitializer", "animation"},
  };
  hostseams::Ledger::Enable(true);
  du::SmartPtr<du::RefCounted> held(new du::RefCounted);
  du::RefCounted* before = held.get();
  hostseams::LedgerCheck check;
  hostseams::TraceCapture::Start();
  for (auto const& request : refused) {
    EXPECT_FALSE(create_(request.type, nullptr, request.name, held)) << request.type << "/" << request.name;
    EXPECT_EQ(held.get(), before);
  }
  EXPECT_EQ(hostseams::TraceCapture::Stop(), "");
  EXPECT_TRUE(check.Balanced()) << check.Difference();
  held.reset();
  hostseams::Ledger::Enable(false);
}

TEST_F(ModuleLoading, AMatchingRequestTracesOnceAndReplacesTheHeldObject) {
  hostseams::Ledger::Enable(true);
  hostseams::LedgerCheck check;
  {
    du::SmartPtr<du::RefCounted> component(new du::RefCounted);
    du::RefCounted* old = component.get();
    auto const heldBefore = hostseams::Ledger::Snapshot();
    ASSERT_EQ(heldBefore.count(old), 1u);

    hostseams::TraceCapture::Start();
    EXPECT_TRUE(create_("animation", nullptr, "illanimationinitializer", component));
    EXPECT_EQ(hostseams::TraceCapture::Stop(),
              "[illanimation/plugin] Create ornatix animation initializer\n");

    // The old object lost its only reference; the new initializer holds exactly one.
    auto const heldAfter = hostseams::Ledger::Snapshot();
    EXPECT_EQ(heldAfter.count(old), 0u);
    ASSERT_NE(component.get(), nullptr);
    EXPECT_NE(std::strstr(typeid(*component).name(), "IllAnimationInitializer"), nullptr);
    EXPECT_EQ(heldAfter.at(component.get()), 1);

    du::SmartPtr<du::RefCounted> second;
    EXPECT_TRUE(create_("animation", nullptr, "illanimationinitializer", second));
    EXPECT_NE(second.get(), component.get());
  }
  EXPECT_TRUE(check.Balanced()) << check.Difference();
  hostseams::Ledger::Enable(false);
}

TEST_F(ModuleLoading, HooksKeepMakingIllustrationTracksAfterTheInitializerIsGone) {
  {
    du::SmartPtr<du::RefCounted> component;
    ASSERT_TRUE(create_("animation", nullptr, "illanimationinitializer", component));
  }
  for (int i = 0; i < 3; ++i) {
    init_();
    terminate_();
    terminate_();
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
