#include "module_loader.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <string>
#include <utility>

#include "standin_texts.h"

namespace hostloader {

#ifdef _WIN32
namespace {

// The path's UTF-8 bytes as the UTF-16 that the wide Windows calls take; bytes that are not
// UTF-8 are a load error rather than a guess at a code page.
std::wstring WidePath(std::string const& path) {
  if (path.empty()) return {};
  int const size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                       static_cast<int>(path.size()), nullptr, 0);
  if (size <= 0) throw LoadError("cannot load module " + path + ": the path is not UTF-8");
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                      wide.data(), size);
  return wide;
}

// The system's text for an error code, on one line.
std::string SystemMessage(DWORD code) {
  char* text = nullptr;
  DWORD const length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length ? std::string(text, length) : "error " + std::to_string(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message;
}

}  // namespace

PluginModule::PluginModule(std::string path) : path_(std::move(path)) {
  // No error box: a module that cannot load is reported to the caller only.
  std::wstring const wide = WidePath(path_);
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
  handle_ = LoadLibraryW(wide.c_str());
  DWORD const error = GetLastError();
  SetThreadErrorMode(previousMode, nullptr);
  if (!handle_) throw LoadError("cannot load module " + path_ + ": " + SystemMessage(error));
}

void* PluginModule::FindSymbol(char const* name) const {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}
#else
PluginModule::PluginModule(std::string path) : path_(std::move(path)) {
  handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) throw LoadError("cannot load module " + path_ + ": " + dlerror());
}

void* PluginModule::FindSymbol(char const* name) const { return dlsym(handle_, name); }
#endif

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
