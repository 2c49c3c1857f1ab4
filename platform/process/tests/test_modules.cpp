// Modules: kernel32 lookups, IsWow64Process, host libraries under Windows names.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"
#include "winsim/machine.h"

using namespace proctest;

namespace {

TEST(Modules, KernelModuleUnderItsNames) {
  HMODULE kernel = GetModuleHandleA("kernel32");
  ASSERT_NE(kernel, nullptr);
  for (const char* name : {"KERNEL32", "kernel32.dll", "Kernel32.DLL", "C:\\Windows\\System32\\kernel32.dll"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(GetModuleHandleA(name), kernel);
  }
  EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
  EXPECT_NE(GetModuleHandleA(nullptr), kernel);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetModuleHandleA("nosuchmodule"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));

  EXPECT_EQ(reinterpret_cast<void (*)()>(GetProcAddress(kernel, "IsWow64Process")),
            reinterpret_cast<void (*)()>(&IsWow64Process));
  const struct {
    const char* name;
    LPCSTR proc;
  } missing[] = {{"unknown export", "NoSuchExport"},
                 {"other case", "iswow64process"},
                 {"ordinal", reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(7))}};
  for (const auto& row : missing) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(kernel, row.proc), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  }
}

TEST(Modules, IsWow64ProcessThroughTheLookedUpAddress) {
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<IsWow64Fn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  ASSERT_NE(fn, nullptr);
  BOOL wow = 0xCC;
  EXPECT_TRUE(fn(GetCurrentProcess(), &wow));
  EXPECT_EQ(wow, winsim::IsWow64() ? TRUE : FALSE);
  EXPECT_EQ(wow, FALSE);  // a 64-bit test program
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(fn(nullptr, &wow));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Modules, ModuleFileNameBuffers) {
  char full[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, full, sizeof full);
  ASSERT_GT(n, 5u);
  EXPECT_EQ(std::strlen(full), n);
  char small[6];
  std::memset(small, 0xCC, sizeof small);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 6u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(small), std::string(full, 5));
  char kernelName[MAX_PATH];
  EXPECT_GT(GetModuleFileNameA(GetModuleHandleA("kernel32"), kernelName, sizeof kernelName), 0u);
  EXPECT_STREQ(kernelName, "C:\\Windows\\System32\\kernel32.dll");
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x1230)), full, sizeof full), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

TEST(Modules, HostLibraryUnderAWindowsName) {
  std::filesystem::path lib = HostOf("C:\\probe\\lib\\Plugin.dll");
  std::filesystem::create_directories(lib.parent_path());
  std::filesystem::copy_file(winsim::testing::BinDir() + "/libwinsim_testlib.so", lib);
  WriteMachineFile("C:\\probe\\lib\\text.dll", "not a library");

  const struct {
    const char* name;
    DWORD error;
  } loads[] = {
      {"C:\\probe\\lib\\plugin.dll", 0},
      {"C:\\PROBE\\LIB\\PLUGIN", 0},  // ".dll" added
      {"C:\\probe\\lib\\missing.dll", ERROR_MOD_NOT_FOUND},
      {"C:\\probe\\nofolder\\plugin.dll", ERROR_MOD_NOT_FOUND},
      {"missing_library", ERROR_MOD_NOT_FOUND},
      {"C:\\probe\\lib\\text.dll", ERROR_BAD_EXE_FORMAT},
  };
  HMODULE first = nullptr;
  for (const auto& row : loads) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    HMODULE h = LoadLibraryA(row.name);
    if (row.error) {
      EXPECT_EQ(h, nullptr);
      EXPECT_EQ(GetLastError(), row.error);
      continue;
    }
    ASSERT_NE(h, nullptr);
    if (!first) first = h;
    EXPECT_EQ(h, first);  // the same module, counted twice
  }
  using AnswerFn = int (*)();
  auto answer = reinterpret_cast<AnswerFn>(reinterpret_cast<void (*)()>(GetProcAddress(first, "TestLibraryAnswer")));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetProcAddress(first, "DllRegisterServer"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  char name[MAX_PATH];
  GetModuleFileNameA(first, name, sizeof name);
  EXPECT_STREQ(name, "C:\\probe\\lib\\plugin.dll");
  EXPECT_EQ(GetModuleHandleA("PLUGIN.DLL"), first);

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_TRUE(FreeLibrary(first));
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(FreeLibrary(first));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(GetModuleHandleA("plugin.dll"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(FreeLibrary(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
