// System folders, special folders, the machine settings and the journal.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "machine_fixture.h"
#include "shlobj.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

TEST(SystemFolders, BuffersOfEverySize) {
  struct { const char* name; UINT (*fn)(LPSTR, UINT); const char* expected; } rows[] = {
      {"system", GetSystemDirectoryA, "C:\\Windows\\System32"},
      {"windows", GetWindowsDirectoryA, "C:\\Windows"},
  };
  for (const auto& row : rows) {
    const UINT len = static_cast<UINT>(std::strlen(row.expected));
    for (UINT size = 0; size <= len + 2; ++size) {
      SCOPED_TRACE(std::string(row.name) + " size " + std::to_string(size));
      char buf[64];
      std::memset(buf, 0xCC, sizeof buf);
      UINT ret = row.fn(size ? buf : nullptr, size);
      if (size > len) {
        EXPECT_EQ(len, ret);
        EXPECT_STREQ(row.expected, buf);
      } else {
        EXPECT_EQ(len + 1, ret);
        EXPECT_EQ('\xCC', buf[0]) << "a too-small buffer is left untouched";
      }
    }
  }
}

TEST(SystemFolders, SpecialFolders) {
  std::string user = winsim::Config().user;
  struct { int csidl; std::string expected; } rows[] = {
      {CSIDL_APPDATA, "C:\\Users\\" + user + "\\AppData\\Roaming"},
      {CSIDL_PROGRAM_FILES, "C:\\Program Files"},
      {CSIDL_PROGRAM_FILESX86, "C:\\Program Files (x86)"},
      {CSIDL_WINDOWS, "C:\\Windows"},
      {CSIDL_SYSTEM, "C:\\Windows\\System32"},
      {CSIDL_COMMON_APPDATA, "C:\\ProgramData"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.csidl);
    char buf[MAX_PATH];
    std::memset(buf, 0xCC, sizeof buf);
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, buf, row.csidl, FALSE));
    EXPECT_EQ(row.expected, buf);
  }
  char buf[MAX_PATH];
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, buf, 0x7777, FALSE));
}

TEST(Machine, ConfigurationChangesAreSeen) {
  EXPECT_EQ(96, winsim::Config().dpi);
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "144", nullptr));
  EXPECT_EQ(144, winsim::Config().dpi);
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "96", nullptr));
  EXPECT_EQ("96", winsim::ConfigValue("dpi").value_or(""));
  EXPECT_FALSE(winsim::ConfigValue("no_such_key").has_value());
}

TEST(Machine, LayoutOfANewMachine) {
  std::string root = winsim::testing::FreshMachine();
  for (const char* sub : {"/drive_c/Windows/System32", "/drive_c/Windows/SysWOW64", "/drive_c/Program Files",
                          "/drive_c/Program Files (x86)", "/drive_c/ProgramData", "/journal", "/desktop", "/run",
                          "/machine.conf"}) {
    EXPECT_TRUE(winsim::testing::HostExists(root + sub)) << sub;
  }
  EXPECT_TRUE(winsim::testing::HostExists(root + "/drive_c/Users/" + winsim::Config().user + "/AppData/Roaming"));
  // Laying it out again changes nothing that exists.
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "120", nullptr));
  std::string error;
  ASSERT_TRUE(winsim::InitMachine(root, &error)) << error;
  EXPECT_EQ(120, winsim::Config().dpi);
}

TEST(Machine, JournalLinesAreWholeLines) {
  std::string root = winsim::testing::FreshMachine();
  winsim::AppendJournalLine("test.log", "first");
  winsim::AppendJournalLine("test.log", "second \xC7\xD1");
  EXPECT_EQ("first\nsecond \xC7\xD1\n", winsim::testing::ReadHostFile(root + "/journal/test.log"));
  std::string now = winsim::NowIso8601();
  ASSERT_EQ(23u, now.size()) << now;
  EXPECT_EQ('T', now[10]);
  EXPECT_EQ('.', now[19]);
}

TEST(Strings, CompareLikeWindows) {
  EXPECT_EQ(0, lstrcmpiA("C:\\WINDOWS\\system32", "C:\\Windows\\System32"));
  EXPECT_EQ(1, lstrcmpA("C:\\WINDOWS\\system32", "C:\\Windows\\System32"));
  EXPECT_EQ(-1, lstrcmpiA("abc", "abd"));
  char buf[4];
  EXPECT_STREQ("abc", lstrcpynA(buf, "abcdef", 4));
}

TEST(Time, LocalTimeIsPlausible) {
  SYSTEMTIME st;
  std::memset(&st, 0xCC, sizeof st);
  GetLocalTime(&st);
  EXPECT_GE(st.wYear, 2024);
  EXPECT_TRUE(st.wMonth >= 1 && st.wMonth <= 12);
  EXPECT_TRUE(st.wDay >= 1 && st.wDay <= 31);
  EXPECT_LT(st.wMilliseconds, 1000);
}

}  // namespace
