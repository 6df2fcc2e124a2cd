// Loads a plug-in module the way the host does and asks it for the animation initializer.
#pragma once

#include <stdexcept>
#include <string>

#include "host/utilities.h"

namespace hostloader {

class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A plug-in module, loaded for the rest of the process: the hooks that it fills and the tracks
// that it makes outlive any owner here, so it is never unloaded.
class PluginModule {
 public:
  using CreateComponentFunction = bool (*)(std::string const&, void*, std::string const&,
                                           du::SmartPtr<du::RefCounted>&);
  using LifecycleFunction = void (*)();

  // Loads the module; LoadError ("cannot load module PATH: reason") when it cannot.
  explicit PluginModule(std::string path);

  std::string const& Path() const { return path_; }
  // The address of an exported symbol, null when the module does not export it.
  void* FindSymbol(char const* name) const;
  LifecycleFunction Init() const;
  LifecycleFunction Terminate() const;
  CreateComponentFunction CreateComponent() const;

  // QMDllInit, then the request for the animation initializer; LoadError when the module lacks
  // an entry point or does not answer.
  du::SmartPtr<du::RefCounted> CreateAnimationInitializer() const;

 private:
  std::string path_;
  void* handle_ = nullptr;
};

}  // namespace hostloader
