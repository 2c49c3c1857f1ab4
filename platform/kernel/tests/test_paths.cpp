// Windows path resolution over the machine folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace {

using winsim::testing::FreshMachine;

class Paths : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = FreshMachine();
    c_ = root_ + "/drive_c";
    mkdir((c_ + "/Probe").c_str(), 0755);
    mkdir((c_ + "/Probe/Mixed Case").c_str(), 0755);
    winsim::testing::WriteHostFile(c_ + "/Probe/Mixed Case/File.TXT", "x");
    winsim::testing::WriteHostFile(c_ + "/Probe/\xed\x95\x9c\xea\xb8\x80.txt", "k");  // "한글.txt" in UTF-8
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Probe"));
  }
  std::string root_, c_;
};

TEST_F(Paths, ResolvesRows) {
  struct Row {
    const char* path;
    const char* host;  // relative to drive_c, "" for none
    bool exists;
    bool parentExists;
    DWORD error;
  };
  const std::vector<Row> rows = {
      {"C:\\Probe\\Mixed Case\\File.TXT", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"c:\\PROBE\\mixed case\\file.txt", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"C:/Probe/Mixed Case/File.TXT", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"C:\\Probe\\\\Mixed Case\\.\\File.TXT", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"C:\\Probe\\Other\\..\\Mixed Case\\File.TXT", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"Mixed Case\\file.txt", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {".\\Mixed Case\\file.txt", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"\\Probe\\Mixed Case", "/Probe/Mixed Case", true, true, 0},
      {"C:\\Probe\\Mixed Case\\File.TXT.", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"C:\\Probe\\\xC7\xD1\xB1\xDB.TXT", "/Probe/\xed\x95\x9c\xea\xb8\x80.txt", true, true, 0},
      {"C:\\Probe\\missing.txt", "/Probe/missing.txt", false, true, 0},
      {"C:\\Probe\\missing\\x.txt", "/Probe/missing/x.txt", false, false, 0},
      {"C:\\Probe\\Mixed Case\\File.TXT\\x", "/Probe/Mixed Case/File.TXT/x", false, false, 0},
      {"C:\\..\\..\\Probe", "/Probe", true, true, 0},
      {"C:\\Probe\\Mixed Case\\File.TXT . .", "/Probe/Mixed Case/File.TXT", true, true, 0},
      {"C:\\Probe\\Mixed Case\\..", "/Probe", true, true, 0},
      {"C:\\Probe\\ ..", "/Probe", true, true, 0},
      {"C:\\Probe\\Mixed Case\\", "/Probe/Mixed Case", true, true, 0},
      {"C:\\Probe\\missing\\", "/Probe/missing", false, true, 0},
      {"C:\\Probe\\a<b", "", false, false, ERROR_INVALID_NAME},
      {"C:\\Probe\\a*b", "", false, false, ERROR_INVALID_NAME},
      {"Q:\\x", "", false, false, ERROR_PATH_NOT_FOUND},
      {"\\\\server\\share\\x", "", false, false, ERROR_BAD_NETPATH},
      {"", "", false, false, ERROR_PATH_NOT_FOUND},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    winsim::ResolvedPath r = winsim::ResolvePathA(row.path);
    EXPECT_EQ(row.error, r.error);
    if (row.error) continue;
    EXPECT_EQ(c_ + row.host, r.host);
    EXPECT_EQ(row.exists, r.exists);
    EXPECT_EQ(row.parentExists, r.parentExists);
  }
}

TEST_F(Paths, LongAndOddInputGetsAClearResult) {
  std::string longName(300, 'a');
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), winsim::ResolvePathA(("C:\\" + longName).c_str()).error);
  std::string longComponent = "C:\\" + std::string(256, 'b');
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE), winsim::ResolvePathA(longComponent.c_str()).error);
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), winsim::ResolvePathA(nullptr).error);
  // Invalid multibyte sequences become '?', which no file name may hold.
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), winsim::ResolvePathA("C:\\bad\xC7").error);
  // Wildcards are allowed in the last component only when asked for.
  EXPECT_EQ(0u, winsim::ResolvePathA("C:\\Probe\\*.*", winsim::kAllowWildcards).error);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_NAME), winsim::ResolvePathA("C:\\*\\x", winsim::kAllowWildcards).error);
}

TEST_F(Paths, FullPathKeepsTheGivenSpelling) {
  winsim::ResolvedPath r = winsim::ResolvePathA("c:\\PROBE\\mixed case\\..\\x");
  EXPECT_EQ(u"c:\\PROBE\\x", r.full);
  EXPECT_TRUE(winsim::ResolvePathA("C:\\").isDriveRoot);
  EXPECT_TRUE(winsim::ResolvePathA("C:\\").exists);
}

TEST_F(Paths, ProtectedFoldersAndTheStandardUser) {
  struct { const char* path; bool isProtected; } rows[] = {
      {"C:\\Windows\\System32\\x.dll", true}, {"c:\\program files\\x", true},
      {"C:\\Program Files (x86)\\x", true},   {"C:\\ProgramData\\x", true},
      {"C:\\Windows", true},                  {"C:\\Users\\x", false},
      {"C:\\Probe\\x", false},                {"Z:\\tmp\\x", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    winsim::ResolvedPath r = winsim::ResolvePathA(row.path);
    EXPECT_EQ(row.isProtected, r.isProtected);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(winsim::DenyWriteForUser(r)) << "an administrator may write anywhere";
  }
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  SetLastError(0xdeadbeef);
  EXPECT_TRUE(winsim::DenyWriteForUser(winsim::ResolvePathA("C:\\Windows\\x")));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_FALSE(winsim::DenyWriteForUser(winsim::ResolvePathA("C:\\Users\\x")));
}

TEST_F(Paths, Wow64RedirectsSystem32ForA32BitImageOnly) {
  // This test binary is a 64-bit image: no redirection on any machine.
  winsim::ResolvedPath r = winsim::ResolvePathA("C:\\Windows\\System32\\x");
  EXPECT_EQ(c_ + "/Windows/System32/x", r.host);
  EXPECT_FALSE(winsim::IsWow64());
}

TEST_F(Paths, HostPathsMapToCOrZ) {
  EXPECT_EQ(u"C:\\Probe\\Mixed Case", winsim::HostToWindows(c_ + "/Probe/Mixed Case"));
  EXPECT_EQ(u"C:\\", winsim::HostToWindows(c_));
  EXPECT_EQ(u"Z:\\srv\\setup", winsim::HostToWindows("/srv/setup"));
  EXPECT_EQ(u"Z:\\", winsim::HostToWindows("/"));
  EXPECT_EQ(u"Z:\\srv\\x", winsim::HostToWindows("/srv/setup/../x"));
}

TEST_F(Paths, CurrentDirectoryRules) {
  char buf[MAX_PATH];
  ASSERT_TRUE(SetCurrentDirectoryA("c:\\PROBE\\Mixed Case\\"));
  EXPECT_EQ(19u, GetCurrentDirectoryA(MAX_PATH, buf));
  EXPECT_STREQ("c:\\PROBE\\Mixed Case", buf) << "spelling as given, no trailing backslash";
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
  EXPECT_EQ(3u, GetCurrentDirectoryA(MAX_PATH, buf));
  EXPECT_STREQ("C:\\", buf);
  std::memset(buf, 0xCC, sizeof buf);
  EXPECT_EQ(4u, GetCurrentDirectoryA(2, buf)) << "too small: the size needed, NUL included";
  EXPECT_EQ('\xCC', buf[0]);

  SetLastError(0xdeadbeef);
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\Probe\\nothing"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(SetCurrentDirectoryA("C:\\Probe\\Mixed Case\\File.TXT"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_DIRECTORY), GetLastError());
}

}  // namespace
