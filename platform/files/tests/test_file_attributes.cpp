// GetFileAttributesA, SetFileAttributesA, PathFileExistsA, and the
// attribute helpers other areas use.
#include <sys/stat.h>

#include <string>
#include <vector>

#include "files_test_support.h"
#include "shlwapi.h"
#include "windows.h"
#include "winsim/file_attributes.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

class Attributes : public FilesTest {};

TEST_F(Attributes, GetFileAttributesRows) {
  const std::string dir = Folder("get");
  Folder("get\\sub");
  PutFile(In(dir, "f.txt"), "x");
  PutFile(In(dir, "\xC7\xD1\xB1\xDB.txt"), "k");
  struct Row {
    const char* name;
    std::string path;
    DWORD attributes;
    DWORD error;  // checked when attributes is INVALID_FILE_ATTRIBUTES
  };
  const std::vector<Row> rows = {
      {"new file", In(dir, "f.txt"), 0x20, 0},
      {"new folder", In(dir, "sub"), 0x10, 0},
      {"folder with trailing backslash", In(dir, "sub\\"), 0x10, 0},
      {"file with trailing backslash", In(dir, "f.txt\\"), INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
      {"file used as a folder", In(dir, "f.txt\\x"), INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
      {"missing", In(dir, "missing.txt"), INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
      {"missing parent", In(dir, "missing\\x.txt"), INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
      {"drive root", "C:\\", 0x10, 0},
      {"forward slashes", "C:/probe/get/f.txt", 0x20, 0},
      {"doubled backslash inside", "C:\\probe\\\\get\\\\f.txt", 0x20, 0},
      {"other case", "c:\\PROBE\\GET\\F.TXT", 0x20, 0},
      {"with ..", "C:\\probe\\get\\sub\\..\\f.txt", 0x20, 0},
      {"relative to the current folder", "probe\\get\\f.txt", 0x20, 0},
      {"Korean name", In(dir, "\xC7\xD1\xB1\xDB.TXT"), 0x20, 0},
      {"wildcard", In(dir, "*.txt"), INVALID_FILE_ATTRIBUTES, ERROR_INVALID_NAME},
      {"invalid multibyte sequence", In(dir, "\xC7"), INVALID_FILE_ATTRIBUTES, ERROR_INVALID_NAME},
      {"empty", "", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
      {"over-long", In(dir, std::string(300, 'x')), INVALID_FILE_ATTRIBUTES, ERROR_FILENAME_EXCED_RANGE},
      {"unknown drive", "Q:\\x", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kSentinel);
    EXPECT_EQ(row.attributes, GetFileAttributesA(row.path.c_str()));
    if (row.attributes == INVALID_FILE_ATTRIBUTES) {
      EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_EQ(row.attributes != INVALID_FILE_ATTRIBUTES, PathFileExistsA(row.path.c_str()) != FALSE);
  }
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  EXPECT_FALSE(PathFileExistsA(nullptr));
}

TEST_F(Attributes, SetFileAttributesRows) {
  const std::string dir = Folder("set");
  struct Step {
    DWORD set;
    DWORD readBack;
  };
  struct Row {
    const char* name;
    bool folder;
    std::vector<Step> steps;
  };
  const std::vector<Row> rows = {
      {"NORMAL on a read-only file", false, {{FILE_ATTRIBUTE_READONLY, 0x21}, {FILE_ATTRIBUTE_NORMAL, 0x20}}},
      {"HIDDEN on a folder, then NORMAL", true, {{FILE_ATTRIBUTE_HIDDEN, 0x12}, {FILE_ATTRIBUTE_NORMAL, 0x10}}},
      // The layer keeps hidden when it comes with read-only.
      {"HIDDEN+READONLY on a file", false, {{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, 0x23}}},
      {"SYSTEM on a file, then ARCHIVE", false, {{FILE_ATTRIBUTE_SYSTEM, 0x24}, {FILE_ATTRIBUTE_ARCHIVE, 0x20}}},
      {"HIDDEN replaces SYSTEM", false, {{FILE_ATTRIBUTE_SYSTEM, 0x24}, {FILE_ATTRIBUTE_HIDDEN, 0x22}}},
      {"READONLY and ARCHIVE on a folder", true,
       {{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, 0x31}, {0, 0x10}}},
      {"DIRECTORY bit on a file is ignored", false, {{FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, 0x22}}},
  };
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = In(dir, "item" + std::to_string(n++));
    if (row.folder) {
      ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    }
    else PutFile(path, "x");
    for (const Step& step : row.steps) {
      SCOPED_TRACE(step.set);
      EXPECT_TRUE(SetFileAttributesA(path.c_str(), step.set));
      EXPECT_EQ(step.readBack, GetFileAttributesA(path.c_str()));
    }
  }
  SetLastError(kSentinel);
  EXPECT_FALSE(SetFileAttributesA(In(dir, "missing").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
  SetLastError(kSentinel);
  EXPECT_FALSE(SetFileAttributesA(In(dir, "missing\\x").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

// Read-only is the host's write permission; hidden and system are kept
// where a copy and a rename find them.
TEST_F(Attributes, HostRepresentation) {
  const std::string dir = Folder("host");
  const std::string file = In(dir, "f.txt");
  PutFile(file, "x");
  MarkAttributes(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  struct stat st {};
  ASSERT_EQ(0, stat(Host(file).c_str(), &st));
  EXPECT_EQ(0, static_cast<int>(st.st_mode & 0222));
  EXPECT_TRUE(winsim::IsReadOnlyForLayer(Host(file)));
  EXPECT_EQ(0x23u, winsim::GetAttributesOfHost(Host(file)));

  // A file made read-only on the host reads back read-only.
  const std::string other = In(dir, "g.txt");
  PutFile(other, "y");
  ASSERT_EQ(0, chmod(Host(other).c_str(), 0444));
  EXPECT_EQ(0x21u, GetFileAttributesA(other.c_str()));
  MarkAttributes(other, FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(0, stat(Host(other).c_str(), &st));
  EXPECT_NE(0, static_cast<int>(st.st_mode & S_IWUSR));
  EXPECT_FALSE(winsim::IsReadOnlyForLayer(Host(other)));

  // Folders never count as read-only for writing into them.
  MarkAttributes(dir, FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(winsim::IsReadOnlyForLayer(Host(dir)));
  PutFile(In(dir, "inside.txt"), "z");
  HANDLE h = CreateFileA(In(dir, "new.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, h);
  CloseFile(h);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, winsim::GetAttributesOfHost(Host(In(dir, "missing"))));
  EXPECT_FALSE(winsim::IsReadOnlyForLayer(Host(In(dir, "missing"))));
}

TEST_F(Attributes, HiddenAndSystemSurviveCopyAndRename) {
  const std::string dir = Folder("survive");
  const std::string file = In(dir, "a.cfg");
  PutFile(file, "cfg");
  MarkAttributes(file, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  ASSERT_TRUE(MoveFileExA(file.c_str(), In(dir, "b.cfg").c_str(), 0));
  EXPECT_EQ(0x26u, GetFileAttributesA(In(dir, "b.cfg").c_str()));
  ASSERT_TRUE(CopyFileA(In(dir, "b.cfg").c_str(), In(dir, "c.cfg").c_str(), TRUE));
  EXPECT_EQ(0x26u, GetFileAttributesA(In(dir, "c.cfg").c_str()));
  // rename() of the C runtime moves them too.
  ASSERT_EQ(0, rename(In(dir, "c.cfg").c_str(), In(dir, "d.cfg").c_str()));
  EXPECT_EQ(0x26u, GetFileAttributesA(In(dir, "d.cfg").c_str()));
}

}  // namespace
}  // namespace files_test
