#include "illanimation/IllAnimationInitializer.h"
#include "track_factories.h"

namespace {
// Identify the module's trace output.
constexpr char kTraceModule[] = "illanimation";
constexpr char kTraceCategory[] = "plugin";

constexpr char kComponentType[] = "animation";
constexpr char kComponentName[] = "illanimationinitializer";
}  // namespace

namespace illanimation {

IllAnimationInitializer::IllAnimationInitializer() { InstallTrackFactories(); }
// Copies start with a reference count of their own: the host's base copies no count.
IllAnimationInitializer::IllAnimationInitializer(IllAnimationInitializer const& other) = default;
IllAnimationInitializer::IllAnimationInitializer(IllAnimationInitializer&& other) noexcept =
    default;
IllAnimationInitializer::~IllAnimationInitializer() = default;
IllAnimationInitializer& IllAnimationInitializer::operator=(IllAnimationInitializer const&) {
  return *this;
}
IllAnimationInitializer& IllAnimationInitializer::operator=(IllAnimationInitializer&&) noexcept {
  return *this;
}

}  // namespace illanimation

extern "C" {

void QMDllInit() {}

void QMDllTerminate() {}

bool QMDllCreateComponent(std::string const& type, void* /*reserved*/, std::string const& name,
                          du::SmartPtr<du::RefCounted>& component) {
  // std::string equality compares length and bytes: no case folding, no trimming.
  if (type != kComponentType || name != kComponentName) return false;
  {
    dp::QMTracer trace(kTraceModule, kTraceCategory);
    trace("Create ornatix animation initializer\n");
  }
  component = new illanimation::IllAnimationInitializer;
  return true;
}

}  // extern "C"
