#include "module_loader.h"

#include <dlfcn.h>

#include <utility>

#include "standin_texts.h"

namespace hostloader {

PluginModule::PluginModule(std::string path) : path_(std::move(path)) {
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw LoadError("cannot load module " + path_ + ": " + dlerror());
}

void* PluginModule::FindSymbol(char const* name) const { return dlsym(handle_, name); }

PluginModule::LifecycleFunction PluginModule::Init() const {
  return reinterpret_cast<LifecycleFunction>(FindSymbol("QMDllInit"));
}

PluginModule::LifecycleFunction PluginModule::Terminate() const {
  return reinterpret_cast<LifecycleFunction>(FindSymbol("QMDllTerminate"));
}

PluginModule::CreateComponentFunction PluginModule::CreateComponent() const {
  return reinterpret_cast<CreateComponentFunction>(FindSymbol("QMDllCreateComponent"));
}

du::SmartPtr<du::RefCounted> PluginModule::CreateAnimationInitializer() const {
  LifecycleFunction const init = Init();
  CreateComponentFunction const create = CreateComponent();
  du::SmartPtr<du::RefCounted> initializer;
  if (!init || !create) throw LoadError(path_ + " does not export the module entry points");
  init();
  if (!create(standin::kAnimationComponentType, nullptr, standin::kAnimationComponentName,
              initializer))
    throw LoadError(path_ + " does not answer the component request");
  return initializer;
}

}  // namespace hostloader
