// The start-up step of both programs: a DLL beside the program is not loaded by name.

#include "platform/win32/DllSearch.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace pendulon {
namespace {

TEST(DllSearch, ADllBesideTheProgramLoadsByNameOnlyUntilTheSearchIsRestricted) {
  const HMODULE before = LoadLibraryA("dll_beside.dll");
  ASSERT_NE(before, nullptr) << "without the step, the program's folder is searched";
  FreeLibrary(before);
  ASSERT_EQ(GetModuleHandleA("dll_beside.dll"), nullptr);

  RestrictDllSearchToSystem32();
  const HMODULE after = LoadLibraryA("dll_beside.dll");
  EXPECT_EQ(after, nullptr);
  if (after != nullptr)
    FreeLibrary(after);
  EXPECT_NE(LoadLibraryA("version.dll"), nullptr) << "System32 is still searched";
}

}  // namespace
}  // namespace pendulon
