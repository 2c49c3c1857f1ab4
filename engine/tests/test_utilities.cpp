// The engine's file and process utilities, and the profile command lines.
#include <gtest/gtest.h>

#include <string>

#include "InstallLog.h"
#include "ModeCmdRun.h"
#include "ModeFileGroup.h"
#include "ModeFolderGroup.h"
#include "ProfileCommands.h"
#include "machine_fixture.h"
#include "winsim/paths.h"

namespace {

std::string LogText() {
  return winsim::testing::ReadHostFile(winsim::ResolvePathA("C:\\Windows\\System32\\VelGTCInstall.log").host);
}

class Utilities : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    ASSERT_TRUE(CreateDirectoryA("C:\\work", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\work\\target", nullptr));
    winsim::testing::WriteHostFile(winsim::ResolvePathA("C:\\work\\a.txt").host, "alpha");
  }
};

TEST_F(Utilities, CopyFileToOutcomes) {
  CModeFileGroup files;
  EXPECT_EQ(1, files.CopyFileTo("C:\\work\\a.txt", "C:\\work\\target"));
  EXPECT_EQ("alpha", winsim::testing::ReadHostFile(winsim::ResolvePathA("C:\\work\\target\\a.txt").host));

  // A missing source is logged and counts as copied; nothing is created.
  EXPECT_EQ(1, files.CopyFileTo("C:\\work\\missing.txt", "C:\\work\\target"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\work\\target\\missing.txt"));
  EXPECT_NE(std::string::npos, LogText().find("\xC6\xC4\xC0\xCF Search \xBD\xC7\xC6\xD0 : C:\\work\\missing.txt"));

  // A read-only target refuses the copy; the log carries access denied.
  ASSERT_TRUE(SetFileAttributesA("C:\\work\\target\\a.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(0, files.CopyFileTo("C:\\work\\a.txt", "C:\\work\\target"));
  EXPECT_NE(std::string::npos, LogText().find("ErrorCode = 5"));
}

TEST_F(Utilities, DeleteClearsAttributesFirst) {
  CModeFileGroup files;
  struct { const char* name; DWORD attributes; } rows[] = {
      {"C:\\work\\ro.txt", FILE_ATTRIBUTE_READONLY},
      {"C:\\work\\hidden.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    winsim::testing::WriteHostFile(winsim::ResolvePathA(row.name).host, "x");
    ASSERT_TRUE(SetFileAttributesA(row.name, row.attributes));
    EXPECT_EQ(1, files.IsModeFileDelete(row.name));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(row.name));
  }
  EXPECT_EQ(1, files.IsModeFileDelete("C:\\work\\never.txt")) << "a missing file is already gone";
  EXPECT_EQ(0, files.IsFilesExists(CString(std::string(1024, 'a').c_str()))) << "too long for the buffer";
}

TEST_F(Utilities, MakeFolderWithAndWithoutTheHiddenMarker) {
  CModeFolderGroup folders;
  EXPECT_EQ(1, folders.IsFolderMissing("C:\\work\\new"));
  EXPECT_EQ(1, folders.MakeFolder("C:\\work\\new(Hidden)"));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN), GetFileAttributesA("C:\\work\\new"));
  EXPECT_EQ(1, folders.MakeFolder("C:\\work\\new(Hidden)")) << "the marked form succeeds on an existing folder";
  EXPECT_EQ(0, folders.MakeFolder("C:\\work\\new")) << "the plain form fails on an existing folder";
  EXPECT_EQ(0, folders.MakeFolder("C:\\work\\no\\parent")) << "parents are never created";
  EXPECT_EQ(0, folders.IsFolderMissing("C:\\work\\a.txt")) << "a file counts as present";
}

TEST_F(Utilities, CommandRunOutcomes) {
  CModeCmdRun run;
  EXPECT_EQ(0, run.Run("C:\\Windows\\System32\\nothing-here.exe /x", 10));
  EXPECT_NE(std::string::npos, LogText().find("C:\\Windows\\System32\\nothing-here.exe /x"));
  // A line that does not fit the 260-byte buffer is refused, not cut.
  const CString strLong = CString("C:\\Windows\\System32\\reg.exe query ") + CString('x', 240);
  EXPECT_EQ(0, run.Run(strLong, 10));
  // A program that starts counts as started, whatever it returns.
  EXPECT_EQ(1, run.Run("C:\\Windows\\System32\\reg.exe query HKLM\\NoSuchKey", 5000));
}

TEST(ProfileCommands, NamesAndQuoting) {
  struct { const char* file; const char* name; const char* remove; } rows[] = {
      {"office.xml", "office", "netsh wlan delete profile office"},
      {"Campus Guest.xml", "Campus Guest", "netsh wlan delete profile \"Campus Guest\""},
      {"a.b.xml", "a.b", "netsh wlan delete profile a.b"},
      {"noext", "", "netsh wlan delete profile "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_STREQ(row.name, profiles::ProfileName(row.file));
    EXPECT_STREQ(row.remove, profiles::DeleteCommand(row.file));
  }
  EXPECT_STREQ("netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\Campus Guest.xml\"",
               profiles::AddCommand("Campus Guest.xml"));
}

}  // namespace
