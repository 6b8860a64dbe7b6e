// The release's executables describe themselves: version resource, manifest and header, read back
// as Windows itself reads them. Arguments: the executables to check, the executer first.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Version.h"

namespace pendulon {
namespace {

std::vector<std::string> g_executables;

std::string StringValue(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "(missing)";
  }
  return std::string(value, length > 0 ? length - 1 : 0);
}

TEST(VersionResource, EveryExecutableCarriesTheBuildsVersion) {
  ASSERT_EQ(g_executables.size(), 2u);
  const std::vector<std::string> descriptions = {"Vostrelin Quillmar 2.5 Task Executer",
                                                 "Pendulon task folder checker"};
  const std::vector<std::string> names = {"pendulon", "qefcheck"};
  for (std::size_t i = 0; i < g_executables.size(); ++i) {
    const std::string& exe = g_executables[i];
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data())) << exe;

    EXPECT_EQ(StringValue(info, "FileDescription"), descriptions[i]);
    EXPECT_EQ(StringValue(info, "FileVersion"), kVersion);
    EXPECT_EQ(StringValue(info, "ProductVersion"), kVersionText);
    EXPECT_EQ(StringValue(info, "InternalName"), names[i]);
    EXPECT_EQ(StringValue(info, "OriginalFilename"), names[i] + ".exe");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, kVersion) << exe;
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  }
}

TEST(VersionResource, EveryExecutableEmbedsItsManifest) {
  for (const std::string& exe : g_executables) {
    const HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe;
    const HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(resource, nullptr) << exe;
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(bytes, SizeofResource(module, resource));
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << exe;
    for (const char* os :
         {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
          "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
      EXPECT_NE(manifest.find(os), std::string::npos) << exe << " " << os;
    }
    FreeLibrary(module);
  }
}

// Up to 8 launches wait in the shell's boxes at once, each box's loop and the shell's frames on
// the one thread's stack: the executer reserves 8 MiB for them, four times Windows' default.
TEST(ExecutableHeader, TheExecuterReservesEightMebibytesOfStack) {
  std::ifstream file(g_executables.at(0), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 0x40u);
  std::uint32_t header = 0;
  std::memcpy(&header, bytes.data() + 0x3C, sizeof header);
  // The PE signature, the 20 bytes of the file header, then the optional header of PE32+, whose
  // SizeOfStackReserve lies 72 bytes in.
  const std::size_t at = header + 4 + 20 + 72;
  ASSERT_LE(at + 8, bytes.size());
  std::uint64_t reserve = 0;
  std::memcpy(&reserve, bytes.data() + at, sizeof reserve);
  EXPECT_GE(reserve, 8u * 1024 * 1024);
}

}  // namespace
}  // namespace pendulon

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) pendulon::g_executables.emplace_back(argv[i]);
  return RUN_ALL_TESTS();
}
