// The module's exported interface: the three entry points that the host calls after loading the
// module, and the initializer that installs the module's item-track factories.
//
// How a host uses it: load the module (dlopen with RTLD_NOW; LoadLibraryW on Windows), call
// QMDllInit, then ask for the component "animation" / "illanimationinitializer" with
// QMDllCreateComponent. From then on every item track that the host makes or copies through
// animation::ItemTrackCreator is an illanimation::IllustrationItemTrack.
//
// Binary rules. The entry points have plain C names, but they take and return C++ objects
// (std::string, du::SmartPtr): host and module must be built with the same compiler family, the
// same C++ standard library and the same library ABI (for libstdc++, the same
// _GLIBCXX_USE_CXX11_ABI), and against the same host headers: the layout of du::RefCounted and of
// the track classes, and the order of the tracks' virtual operations, are shared by both sides.
//
// Lifetime. Nothing that the module installs is ever undone: the host's item-track hooks keep
// the module's factories after the initializer is destroyed and after QMDllTerminate, and every
// track made through them runs the module's code. The host must therefore not unload the module
// (dlclose, FreeLibrary) while the hooks hold its factories or any track it made exists; in
// practice it stays loaded until the process ends. The module's key symbols are built when it is
// loaded and destroyed when it is unloaded.
//
// Threads. The module starts no threads and takes no locks. Every entry point, hook and track
// operation runs on the thread that calls it; installing the factories is a plain assignment of
// the host's hooks, so the host must not make or copy tracks on another thread meanwhile.
#pragma once

#include <string>

#include "host/utilities.h"

// What the module exports: a DLL's exports on Windows while the module's own sources compile
// (ILLANIMATION_EXPORTS), imports for a host that links to it; default visibility elsewhere,
// where the sources compile with hidden visibility and a version script guards the rest.
#if defined(_WIN32) && defined(ILLANIMATION_EXPORTS)
#define ILLANIMATION_API __declspec(dllexport)
#elif defined(_WIN32)
#define ILLANIMATION_API __declspec(dllimport)
#else
#define ILLANIMATION_API __attribute__((visibility("default")))
#endif

namespace illanimation {

// Constructing one (default constructor) assigns the module's create factory, then its copy
// factory, to the host's item-track hooks, replacing and destroying what they held. Copies and
// moves install nothing and start with a reference count of their own; assignments change
// nothing. Destroying one changes nothing either. The host owns it through du::SmartPtr.
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

// Called by the host once the module is loaded, before any other entry point. Does nothing and
// may be called any number of times, in any order with QMDllTerminate.
ILLANIMATION_API void QMDllInit();

// Called by the host before it unloads the module. Does nothing: in particular it leaves the
// module's factories in the host's hooks (see "Lifetime" above).
ILLANIMATION_API void QMDllTerminate();

// Called by the host to ask the module for a component. Answers exactly one request: `type`
// "animation" and `name` "illanimationinitializer", byte for byte (no case folding, no trimming).
// Then it writes one trace line through the host's tracer ("illanimation" / "plugin"), makes a
// new IllAnimationInitializer (which installs the factories), stores it in `component` (taking
// one reference, releasing the object that `component` held, if any) and returns true. Every
// matching call makes a new initializer and installs the same two factories again. Any other
// request returns false and leaves `component`, the hooks and the trace alone. `reserved` is
// never read. Assumes the host's libraries are initialised (the tracer is usable). Throws
// nothing of its own: an allocation failure surfaces as std::bad_alloc, and what the host's
// tracer throws passes through.
ILLANIMATION_API bool QMDllCreateComponent(std::string const& type, void* reserved,
                                           std::string const& name,
                                           du::SmartPtr<du::RefCounted>& component);
}
