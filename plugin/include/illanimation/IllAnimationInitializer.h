// The module's exported interface: the entry points that the host calls after loading it,
// and the initializer that installs the module's item-track factories.
#pragma once

#include <string>

#include "host/utilities.h"

#define ILLANIMATION_API __attribute__((visibility("default")))

namespace illanimation {

// Constructing one installs the module's create and copy factories into the host's
// item-track hooks; nothing undoes that, not even destroying it.
class ILLANIMATION_API IllAnimationInitializer : public du::RefCounted {
 public:
  IllAnimationInitializer();
  IllAnimationInitializer(IllAnimationInitializer const& other);
  IllAnimationInitializer(IllAnimationInitializer&& other) noexcept;
  ~IllAnimationInitializer() override;
  IllAnimationInitializer& operator=(IllAnimationInitializer const& other);
  IllAnimationInitializer& operator=(IllAnimationInitializer&& other) noexcept;
};

}  // namespace illanimation

extern "C" {
ILLANIMATION_API void QMDllInit();
ILLANIMATION_API void QMDllTerminate();
// Answers the request type "animation", name "illanimationinitializer" (exactly) with a new
// initializer in `component`; any other request gives false and leaves `component` alone.
ILLANIMATION_API bool QMDllCreateComponent(std::string const& type, void* reserved,
                                           std::string const& name,
                                           du::SmartPtr<du::RefCounted>& component);
}
