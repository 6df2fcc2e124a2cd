// The loader itself: what it refuses, and paths that a host may really be given.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "module_loader.h"

namespace {

namespace fs = std::filesystem;

fs::path const kModuleFolder = fs::path(ILLANIMATION_MODULE_PATH).parent_path();
// "módulo 模" in UTF-8.
constexpr char kNonAsciiName[] =
    "m\xc3\xb3"
    "dulo \xe6\xa8\xa1";

TEST(ModuleLoader, WhatCannotBeLoadedIsOneLineNamingThePath) {
  std::string const folder = kModuleFolder.string();
  for (std::string const& path : {folder + "/no-such-module.dll", std::string(NOT_A_MODULE_PATH),
                                  folder, std::string("\xff\xfe.dll")}) {
    try {
      hostloader::PluginModule module(path);
      ADD_FAILURE() << path << " was loaded";
    } catch (hostloader::LoadError const& error) {
      std::string const message = error.what();
      std::string const prefix = "cannot load module " + path + ": ";
      EXPECT_EQ(message.compare(0, prefix.size(), prefix), 0) << message;
      EXPECT_GT(message.size(), prefix.size()) << "no reason given: " << message;
      EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
    }
  }
}

TEST(ModuleLoader, ALibraryWithoutTheEntryPointsIsRefusedBeforeAnyCall) {
  hostloader::PluginModule const host(QMHOST_PATH);
  EXPECT_EQ(host.FindSymbol("QMDllCreateComponent"), nullptr);
  EXPECT_EQ(host.Init(), nullptr);
  try {
    host.CreateAnimationInitializer();
    ADD_FAILURE() << "the stand-in host was taken for a module";
  } catch (hostloader::LoadError const& error) {
    EXPECT_EQ(std::string(error.what()),
              std::string(QMHOST_PATH) + " does not export the module entry points");
  }
}

// A copy of the module in a folder whose name is not ASCII: the loader passes the UTF-8 path
// on as the system wants it (UTF-16 on Windows), and the copy exports the entry points.
TEST(ModuleLoader, LoadsFromAFolderWithANonAsciiName) {
  fs::path const folder = kModuleFolder / fs::u8path(kNonAsciiName);
  fs::create_directories(folder);
  fs::path const copy = folder / fs::path(ILLANIMATION_MODULE_PATH).filename();
  fs::remove(copy);
  fs::copy_file(ILLANIMATION_MODULE_PATH, copy);
  hostloader::PluginModule const module(copy.u8string());
  EXPECT_EQ(module.Path(), copy.u8string());
  EXPECT_NE(module.CreateComponent(), nullptr);
  EXPECT_NE(module.Init(), nullptr);
  EXPECT_NE(module.Terminate(), nullptr);
}

}  // namespace
