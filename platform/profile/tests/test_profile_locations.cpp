// Where a file may be written: missing folders, read-only files, the
// standard-user rule, hidden files, relative names.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <string>

#include "machine_fixture.h"
#include "profile_test_support.h"
#include "winsim/handles.h"
#include "winsim/machine.h"

namespace profile_test {
namespace {

class ProfileLocations : public ProfileTest {};

TEST_F(ProfileLocations, MissingFolderIsNotCreated) {
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", WinPath("nodir\\x.ini").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  EXPECT_FALSE(winsim::testing::HostExists(HostPath("nodir")));
}

TEST_F(ProfileLocations, ReadOnlyFileIsLeftAlone) {
  const std::string content = "\r\n[S]\r\nk = old\r\n";
  std::string file = MakeIni("ro.ini", content);
  ASSERT_EQ(0, chmod(HostPath("ro.ini").c_str(), 0444));
  const struct {
    const char* name;
    const char* key;
    const char* value;
  } rows[] = {{"new value", "k", "new"}, {"same value", "k", "old"}, {"delete key", "k", nullptr},
              {"new key", "n", "1"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kUntouchedError);
    EXPECT_FALSE(WritePrivateProfileStringA("S", row.key, row.value, file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(content, ReadIni("ro.ini"));
  }
  ExpectStringReply(GetString("S", "k", "d", 64, file), "old");
}

TEST_F(ProfileLocations, StandardUserMayNotWriteTheWindowsFolder) {
  // machine.conf edited on the host, as an administrator would.
  const std::string conf = machine_ + "/machine.conf";
  std::string settings = winsim::testing::ReadHostFile(conf);
  size_t admin = settings.find("admin=1");
  ASSERT_NE(std::string::npos, admin);
  settings.replace(admin, 7, "admin=0");
  winsim::testing::WriteHostFile(conf, settings);
  ASSERT_FALSE(winsim::Config().admin);
  const std::string host = winsim::DriveCRoot() + "/Windows/std.ini";
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", "std.ini"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_FALSE(winsim::testing::HostExists(host));

  winsim::testing::WriteHostFile(host, "[S]\r\nk=1\r\n");
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "2", "C:\\Windows\\std.ini"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_EQ("[S]\r\nk=1\r\n", winsim::testing::ReadHostFile(host));
  ExpectStringReply(GetString("S", "k", "d", 64, "std.ini"), "1");

  // Elsewhere the standard user writes as usual.
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", WinPath("user.ini").c_str()));
  EXPECT_EQ("[S]\r\nk=v\r\n", ReadIni("user.ini"));
}

TEST_F(ProfileLocations, RelativeNameIsCreatedInTheWindowsFolder) {
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "v", "created.ini"));
  EXPECT_EQ("[S]\r\nk=v\r\n", winsim::testing::ReadHostFile(winsim::DriveCRoot() + "/Windows/created.ini"));
}

// The file is rewritten in place: the same file, so what is stored with it
// (the hidden attribute, other extended attributes) survives.
TEST_F(ProfileLocations, HiddenFileStaysHidden) {
  std::string file = MakeIni("hidden.ini", "[S]\r\nk=1\r\n");
  const std::string host = HostPath("hidden.ini");
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_HIDDEN));
  const char tag[] = "kept";
  bool tagged = setxattr(host.c_str(), "user.profile_test", tag, sizeof tag, 0) == 0;
  struct stat before {};
  ASSERT_EQ(0, stat(host.c_str(), &before));

  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "a much longer value than before", file.c_str()));
  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "2", file.c_str()));

  EXPECT_EQ("[S]\r\nk=2\r\n", ReadIni("hidden.ini"));
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE), GetFileAttributesA(file.c_str()));
  struct stat after {};
  ASSERT_EQ(0, stat(host.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  if (tagged) {
    char got[16] = {};
    EXPECT_EQ(static_cast<ssize_t>(sizeof tag), getxattr(host.c_str(), "user.profile_test", got, sizeof got));
    EXPECT_STREQ(tag, got);
  }
}

TEST_F(ProfileLocations, FolderNamedAsFile) {
  ASSERT_EQ(0, mkdir(HostPath("dir.ini").c_str(), 0755));
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "v", WinPath("dir.ini").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  ReadOutcome out = GetString("S", "k", "dflt", 64, WinPath("dir.ini"));
  ExpectStringReply(out, "dflt");
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), out.error);
}

TEST_F(ProfileLocations, FileOpenElsewhereWithoutSharing) {
  const std::string content = "[S]\r\nk=1\r\n";
  std::string file = MakeIni("shared.ini", content);
  HANDLE readers = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, readers);
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("S", "k", "2", file.c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
  EXPECT_EQ(content, ReadIni("shared.ini"));
  ExpectStringReply(GetString("S", "k", "d", 64, file), "1");
  winsim::ReleaseHandle(readers);  // CloseHandle, without linking the process area

  HANDLE exclusive = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
  ReadOutcome out = GetString("S", "k", "dflt", 64, file);
  ExpectStringReply(out, "dflt");
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), out.error);
  winsim::ReleaseHandle(exclusive);

  EXPECT_TRUE(WritePrivateProfileStringA("S", "k", "2", file.c_str()));
  EXPECT_EQ("[S]\r\nk=2\r\n", ReadIni("shared.ini"));
}

}  // namespace
}  // namespace profile_test
