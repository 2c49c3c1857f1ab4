// Named file mappings: one machine-wide namespace shared by all processes.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"
#include "winsim/machine.h"

using namespace proctest;

namespace {

HANDLE CreateNamed(const char* name, DWORD size = 8) {
  return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
}

TEST(FileMapping, SameProcessRows) {
  const char* name = "shared_MappingTest";
  for (DWORD access : {static_cast<DWORD>(FILE_MAP_READ), static_cast<DWORD>(FILE_MAP_ALL_ACCESS)}) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(OpenFileMappingA(access, FALSE, name), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  }

  SetLastError(0xdeadbeef);
  HANDLE first = CreateNamed(name);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  auto* view1 = static_cast<unsigned char*>(MapViewOfFile(first, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(view1, nullptr);
  EXPECT_EQ(std::memcmp(view1, "\0\0\0\0\0\0\0\0", 8), 0);

  SetLastError(0xdeadbeef);
  HANDLE second = CreateNamed(name);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  SetLastError(0xdeadbeef);
  HANDLE larger = CreateNamed(name, 4096);
  ASSERT_NE(larger, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

  auto* view2 = static_cast<unsigned char*>(MapViewOfFile(second, FILE_MAP_READ, 0, 0, 8));
  ASSERT_NE(view2, nullptr);
  view1[3] = 0x5A;
  EXPECT_EQ(view2[3], 0x5A);

  const struct {
    const char* name;
    bool found;
  } opens[] = {
      {"shared_MappingTest", true},
      {"Local\\shared_MappingTest", true},
      {"SHARED_MAPPINGTEST", false},
      {"Global\\shared_MappingTest", false},
  };
  for (const auto& row : opens) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    HANDLE h = OpenFileMappingA(FILE_MAP_READ, FALSE, row.name);
    if (row.found) {
      EXPECT_NE(h, nullptr);
      EXPECT_EQ(GetLastError(), 0xdeadbeefu);  // left unchanged
      auto* view = static_cast<unsigned char*>(MapViewOfFile(h, FILE_MAP_READ, 0, 0, 0));
      ASSERT_NE(view, nullptr);
      EXPECT_EQ(view[3], 0x5A);
      EXPECT_TRUE(UnmapViewOfFile(view));
      EXPECT_TRUE(CloseHandle(h));
    } else {
      EXPECT_EQ(h, nullptr);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
  }

  EXPECT_TRUE(UnmapViewOfFile(view1));
  EXPECT_TRUE(UnmapViewOfFile(view2));
  EXPECT_TRUE(CloseHandle(first));
  EXPECT_TRUE(CloseHandle(second));
  HANDLE stillThere = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  EXPECT_NE(stillThere, nullptr) << "one handle is still open";
  EXPECT_TRUE(CloseHandle(stillThere));
  EXPECT_TRUE(winsim::testing::HostExists(winsim::RunDir() + "/" + name));
  EXPECT_TRUE(CloseHandle(larger));
  EXPECT_FALSE(winsim::testing::HostExists(winsim::RunDir() + "/" + name));  // nothing left to inspect
  SetLastError(0xdeadbeef);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  // A view that outlives the handles keeps its memory but not the name.
  HANDLE temp = CreateNamed("shared_ViewOnly");
  auto* lasting = static_cast<unsigned char*>(MapViewOfFile(temp, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(lasting, nullptr);
  lasting[0] = 7;
  EXPECT_TRUE(CloseHandle(temp));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "shared_ViewOnly"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(lasting[0], 7);
  EXPECT_TRUE(UnmapViewOfFile(lasting));

  // Made anew: zero-filled again.
  SetLastError(0xdeadbeef);
  HANDLE again = CreateNamed(name);
  EXPECT_EQ(GetLastError(), 0u);
  auto* view3 = static_cast<unsigned char*>(MapViewOfFile(again, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view3, nullptr);
  EXPECT_EQ(view3[3], 0);
  UnmapViewOfFile(view3);
  CloseHandle(again);
}

TEST(FileMapping, BadInput) {
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateNamed("zero", 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, 0x40, 0, 8, "badprotect"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateFileMappingA(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x9990)), nullptr, PAGE_READWRITE, 0,
                               8, "badfile"),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateNamed("folder\\name"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(CreateNamed(std::string(300, 'n').c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  SetLastError(0xdeadbeef);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Names with characters a host file name cannot hold as they are.
  for (const char* odd : {"a/b", "..", ".lock", "100%", "\xC7\xD1\xB1\xDB"}) {
    SCOPED_TRACE(odd);
    SetLastError(0xdeadbeef);
    HANDLE h = CreateNamed(odd);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_NE(OpenFileMappingA(FILE_MAP_READ, FALSE, odd), nullptr);
    CloseHandle(h);
  }

  // Unnamed mappings are private and distinct.
  HANDLE a = CreateNamed(nullptr);
  HANDLE b = CreateNamed(nullptr);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  auto* va = static_cast<char*>(MapViewOfFile(a, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  auto* vb = static_cast<char*>(MapViewOfFile(b, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(va, nullptr);
  ASSERT_NE(vb, nullptr);
  va[0] = 1;
  EXPECT_EQ(vb[0], 0);

  const struct {
    const char* name;
    HANDLE handle;
    DWORD access;
    DWORD offset;
    SIZE_T bytes;
    DWORD error;
  } views[] = {
      {"no handle", nullptr, FILE_MAP_READ, 0, 0, ERROR_INVALID_HANDLE},
      {"unaligned offset", a, FILE_MAP_READ, 4, 0, 1132 /* ERROR_MAPPED_ALIGNMENT */},
      {"offset past the end", a, FILE_MAP_READ, 65536, 0, ERROR_ACCESS_DENIED},
      {"more than the size", a, FILE_MAP_READ, 0, 9, ERROR_ACCESS_DENIED},
  };
  for (const auto& row : views) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MapViewOfFile(row.handle, row.access, 0, row.offset, row.bytes), nullptr);
    EXPECT_EQ(GetLastError(), row.error);
  }
  HANDLE readOnly = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 8, nullptr);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(MapViewOfFile(readOnly, FILE_MAP_WRITE, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  SetLastError(0xdeadbeef);
  EXPECT_FALSE(UnmapViewOfFile(va + 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
  EXPECT_TRUE(UnmapViewOfFile(va));
  EXPECT_FALSE(UnmapViewOfFile(va));
  EXPECT_TRUE(UnmapViewOfFile(vb));
  CloseHandle(a);
  CloseHandle(b);
  CloseHandle(readOnly);
}

class MappingAcrossProcesses : public ::testing::Test {
 protected:
  void SetUp() override { InstallChild("C:\\probe\\proc\\child.exe"); }
};

TEST_F(MappingAcrossProcesses, OtherProcessesSeeTheNameWhileItIsHeld) {
  HANDLE h = CreateNamed("shared_Cross");
  ASSERT_NE(h, nullptr);
  Started create = Start("C:\\probe\\proc\\child.exe create shared_Cross");
  EXPECT_EQ(Finish(create), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  Started open = Start("C:\\probe\\proc\\child.exe open shared_Cross");
  EXPECT_EQ(Finish(open), 0u);
  Started other = Start("C:\\probe\\proc\\child.exe open shared_cross");
  EXPECT_EQ(Finish(other), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  CloseHandle(h);
  open = Start("C:\\probe\\proc\\child.exe open shared_Cross");
  EXPECT_EQ(Finish(open), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  // A name made by a process that ended is gone with it.
  create = Start("C:\\probe\\proc\\child.exe create shared_Cross");
  EXPECT_EQ(Finish(create), 0u);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, "shared_Cross"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// Twenty processes race for one name: exactly one takes it. When that one
// is killed, the name is free for the next.
TEST_F(MappingAcrossProcesses, TwentyAtOnceExactlyOneHoldsAndAKilledHolderFreesTheName) {
  ReportFile report;
  const std::string gate = winsim::testing::TempHostDir() + "/go";
  std::vector<Started> racers;
  for (int i = 0; i < 20; ++i) {
    racers.push_back(Start("C:\\probe\\proc\\child.exe hold shared_VeltraneSetup " + gate + " 60000"));
    ASSERT_TRUE(racers.back().ok) << racers.back().error;
  }
  winsim::testing::WriteHostFile(gate, "");
  // Losers end at once; the holder keeps running.
  std::vector<bool> done(racers.size(), false);
  int ended = 0;
  for (int round = 0; round < 2000 && ended < 19; ++round) {
    for (size_t i = 0; i < racers.size(); ++i) {
      if (done[i] || WaitForSingleObject(racers[i].info.hProcess, 0) != WAIT_OBJECT_0) continue;
      done[i] = true;
      ++ended;
      DWORD code = 0;
      GetExitCodeProcess(racers[i].info.hProcess, &code);
      EXPECT_EQ(code, 2u);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  int holders = 0;
  Started* holder = nullptr;
  for (size_t i = 0; i < racers.size(); ++i) {
    if (done[i] || WaitForSingleObject(racers[i].info.hProcess, 200) == WAIT_OBJECT_0) continue;
    ++holders;
    holder = &racers[i];
  }
  EXPECT_EQ(ended, 19);
  ASSERT_EQ(holders, 1);
  EXPECT_EQ(report.Read()["owner"], std::to_string(holder->info.dwProcessId));
  SetLastError(0xdeadbeef);
  HANDLE mine = CreateNamed("shared_VeltraneSetup");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  auto* seen = static_cast<unsigned char*>(MapViewOfFile(mine, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(seen, nullptr);
  EXPECT_EQ(seen[0], 0xAB);
  UnmapViewOfFile(seen);
  CloseHandle(mine);

  ASSERT_EQ(kill(static_cast<pid_t>(holder->info.dwProcessId), SIGKILL), 0);
  EXPECT_EQ(WaitForSingleObject(holder->info.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  SetLastError(0xdeadbeef);
  HANDLE next = CreateNamed("shared_VeltraneSetup");
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(GetLastError(), 0u);
  auto* fresh = static_cast<unsigned char*>(MapViewOfFile(next, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(fresh, nullptr);
  EXPECT_EQ(fresh[0], 0);
  UnmapViewOfFile(fresh);
  CloseHandle(next);
  for (auto& r : racers) Finish(r);
}

}  // namespace
