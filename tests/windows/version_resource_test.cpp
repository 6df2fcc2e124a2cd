// The module DLL's version resource, read with the calls that show a file's properties.
#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "illanimation/version.h"

namespace {

std::vector<char> ReadVersionInfo() {
  std::wstring const path(ILLANIMATION_MODULE_PATH,
                          ILLANIMATION_MODULE_PATH + sizeof ILLANIMATION_MODULE_PATH - 1);
  DWORD const size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) info.clear();
  return info;
}

std::wstring Wide(char const* text) { return std::wstring(text, text + std::strlen(text)); }

TEST(VersionResource, TheFixedVersionAndTheTextsNameTheModuleAndItsVersion) {
  std::vector<char> info = ReadVersionInfo();
  ASSERT_FALSE(info.empty()) << ILLANIMATION_MODULE_PATH << " has no version resource";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
  ASSERT_EQ(size, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
  for (auto const& [most, least] :
       {std::pair{fixed->dwFileVersionMS, fixed->dwFileVersionLS},
        std::pair{fixed->dwProductVersionMS, fixed->dwProductVersionLS}}) {
    EXPECT_EQ(HIWORD(most), ILLANIMATION_VERSION_MAJOR);
    EXPECT_EQ(LOWORD(most), ILLANIMATION_VERSION_MINOR);
    EXPECT_EQ(HIWORD(least), ILLANIMATION_VERSION_PATCH);
    EXPECT_EQ(LOWORD(least), 0);
  }
  for (auto const& [key, text] : {std::pair{"FileVersion", ILLANIMATION_VERSION},
                                  std::pair{"ProductVersion", ILLANIMATION_VERSION},
                                  std::pair{"OriginalFilename", "illanimation.dll"},
                                  std::pair{"ProductName", "illanimation"}}) {
    std::wstring const query = L"\\StringFileInfo\\040904b0\\" + Wide(key);
    wchar_t* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        << key;
    EXPECT_EQ(std::wstring(value), Wide(text)) << key;
  }
}

}  // namespace
