// The program's resources, read back from the built zanlark.exe: the manifest, the
// version information in Chinese and English, the icon and the link cursor.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/core/win_handles.h"
#include "tests/support/test_support.h"

namespace {

using UniqueLibrary = zl::UniqueModule;

std::string ExePath() { return zl::test::ProgramPath("zanlark.exe"); }

UniqueLibrary LoadAsData() {
  return UniqueLibrary(
      LoadLibraryExA(ExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::wstring VersionText(const std::vector<uint8_t>& info, const wchar_t* block, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || !value) return {};
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(ProgramResources, ManifestAsksForCommonControls6AndNoDpiAwareness) {
  const UniqueLibrary exe = LoadAsData();
  ASSERT_TRUE(exe);
  const HRSRC resource = FindResourceA(exe.Get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  const auto* data = static_cast<const char*>(LockResource(LoadResource(exe.Get(), resource)));
  const std::string manifest(data, SizeofResource(exe.Get(), resource));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos);
  EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
}

TEST(ProgramResources, VersionInformationNamesTheProductInChineseAndEnglish) {
  const std::string path = ExePath();
  const std::wstring widePath(path.begin(), path.end());  // the test folder's path is ASCII
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &unused);
  ASSERT_GT(size, 0u);
  std::vector<uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(widePath.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(VersionText(info, L"080404b0", L"FileDescription"), L"QQ\u540d\u7247\u6279\u91cf\u70b9\u8d5e\u5de5\u5177");
  EXPECT_EQ(VersionText(info, L"040904b0", L"FileDescription"), L"Bulk likes for QQ contact cards");
  EXPECT_EQ(VersionText(info, L"040904b0", L"ProductVersion"), L"1.0.0");
}

TEST(ProgramResources, TheIconComesInTwoSizesAndTheLinkCursorPointsWithItsFingertip) {
  const UniqueLibrary exe = LoadAsData();
  ASSERT_TRUE(exe);
  for (const int size : {32, 16}) {
    const zl::UniqueIcon icon(static_cast<HICON>(LoadImageA(exe.Get(), "DEFAULT_ICON", IMAGE_ICON, size, size, 0)));
    ASSERT_TRUE(icon) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  const HCURSOR cursor = static_cast<HCURSOR>(LoadImageA(exe.Get(), MAKEINTRESOURCEA(1032), IMAGE_CURSOR, 0, 0, 0));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 6u);
  EXPECT_EQ(info.yHotspot, 1u);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyCursor(cursor);
}

}  // namespace
