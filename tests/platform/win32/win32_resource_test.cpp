#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/resource_ids.h"

namespace tolvaris {
namespace {

// The built program, as Wine sees the build tree through its Z: drive.
std::wstring ProgramPath() {
  std::string unixPath = TOLVARIS_PROGRAM_PATH;
  std::replace(unixPath.begin(), unixPath.end(), '/', '\\');
  return L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
}

std::wstring VersionString(const std::vector<char>& data, const wchar_t* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  }* translations = nullptr;
  UINT size = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &size) ||
      size < sizeof(Translation)) {
    return L"(no translation)";
  }
  wchar_t path[128];
  swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language,
           translations[0].codePage, name);
  wchar_t* value = nullptr;
  if (!VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&value), &size)) return L"";
  return value;
}

TEST(Win32ResourceTest, TheProgramCarriesItsVersionInChineseAsWritten) {
  const std::wstring program = ProgramPath();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &handle);
  ASSERT_GT(size, 0u) << "no version resource in the program";
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  EXPECT_EQ(VersionString(data, L"FileDescription"), L"Tolvaris时间同步器");
  EXPECT_EQ(VersionString(data, L"ProductName"), L"Tolvaris时间同步器");
  EXPECT_EQ(VersionString(data, L"FileVersion"), L"1.0.0.0");
  EXPECT_EQ(VersionString(data, L"ProductVersion"), L"1.0.0.0");
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width;
  BYTE height;
  BYTE colourCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytes;
  WORD id;
};
struct IconGroup {
  WORD reserved;
  WORD type;
  WORD count;
  IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(Win32ResourceTest, TheProgramIconHoldsTheFiveImages) {
  HMODULE program = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr);
  HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(TOLVARIS_PROGRAM_ICON), RT_GROUP_ICON);
  ASSERT_NE(found, nullptr);
  const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(program, found)));
  ASSERT_NE(group, nullptr);

  std::vector<std::pair<int, int>> images;  // (size, bits per pixel)
  for (WORD index = 0; index < group->count; ++index) {
    const IconGroupEntry& entry = group->entries[index];
    EXPECT_EQ(entry.width, entry.height);
    images.emplace_back(entry.width == 0 ? 256 : entry.width, entry.bitCount);
  }
  std::sort(images.begin(), images.end());
  const std::vector<std::pair<int, int>> expected = {
      {16, 8}, {16, 32}, {24, 32}, {32, 32}, {48, 32}};
  EXPECT_EQ(images, expected);
  FreeLibrary(program);
}

}  // namespace
}  // namespace tolvaris
