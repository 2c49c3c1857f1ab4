// CreateDirectoryA and RemoveDirectoryA, and the standard-user rule over
// every operation that changes the machine.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "machine_fixture.h"
#include "windows.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

class Directories : public FilesTest {};

TEST_F(Directories, CreateDirectoryRows) {
  const std::string dir = Folder("mk");
  Folder("mk\\exists");
  PutFile(In(dir, "file.txt"), "x");
  struct Row {
    const char* name;
    std::string path;
    BOOL ret;
    DWORD error;
    std::string madeFolder;  // that must exist afterwards ("" : none checked)
  };
  const std::vector<Row> rows = {
      {"folder exists", In(dir, "exists"), FALSE, ERROR_ALREADY_EXISTS, ""},
      {"folder exists in another case", In(dir, "EXISTS"), FALSE, ERROR_ALREADY_EXISTS, ""},
      {"name of an existing file", In(dir, "file.txt"), FALSE, ERROR_ALREADY_EXISTS, ""},
      {"drive root", "C:\\", FALSE, ERROR_ALREADY_EXISTS, ""},
      {"parent missing", In(dir, "a\\b"), FALSE, ERROR_PATH_NOT_FOUND, ""},
      {"trailing backslash", In(dir, "slash\\"), TRUE, 0, In(dir, "slash")},
      {"new folder", In(dir, "New Folder"), TRUE, 0, In(dir, "New Folder")},
      {"Korean name", In(dir, "\xC7\xD1\xB1\xDB"), TRUE, 0, In(dir, "\xC7\xD1\xB1\xDB")},
      {"with ..", In(dir, "exists\\..\\up"), TRUE, 0, In(dir, "up")},
      {"invalid character", In(dir, "a>b"), FALSE, ERROR_INVALID_NAME, ""},
      {"invalid multibyte sequence", In(dir, "bad\xC7"), FALSE, ERROR_INVALID_NAME, ""},
      {"empty name", "", FALSE, ERROR_PATH_NOT_FOUND, ""},
      // The A function's limit for folders is MAX_PATH - 12.
      {"248 characters", dir + "\\" + std::string(248 - dir.size() - 1, 'f'), FALSE, ERROR_FILENAME_EXCED_RANGE, ""},
      {"247 characters", dir + "\\" + std::string(247 - dir.size() - 1, 'g'), TRUE, 0,
       dir + "\\" + std::string(247 - dir.size() - 1, 'g')},
      {"300 characters", dir + "\\" + std::string(300, 'h'), FALSE, ERROR_FILENAME_EXCED_RANGE, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kSentinel);
    EXPECT_EQ(row.ret, CreateDirectoryA(row.path.c_str(), nullptr));
    if (!row.ret) {
      EXPECT_EQ(row.error, GetLastError());
    }
    if (!row.madeFolder.empty()) {
      EXPECT_EQ(0x10u, GetFileAttributesA(row.madeFolder.c_str()));
    }
  }
  EXPECT_FALSE(Exists(In(dir, "a")));  // no parents are made
  SetLastError(kSentinel);
  EXPECT_FALSE(CreateDirectoryA(nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  // The Korean folder is stored under the UTF-8 of its name.
  EXPECT_TRUE(winsim::testing::HostExists(Host(dir) + "/\xed\x95\x9c\xea\xb8\x80"));
}

TEST_F(Directories, RemoveDirectoryRows) {
  const std::string dir = Folder("rm");
  Folder("rm\\full");
  PutFile(In(dir, "full\\x.txt"), "x");
  PutFile(In(dir, "file.txt"), "x");
  Folder("rm\\hidden");
  MarkAttributes(In(dir, "hidden"), FILE_ATTRIBUTE_HIDDEN);
  Folder("rm\\readonly");
  MarkAttributes(In(dir, "readonly"), FILE_ATTRIBUTE_READONLY);
  Folder("rm\\slash");
  Folder("rm\\current");
  ASSERT_TRUE(SetCurrentDirectoryA(In(dir, "current").c_str()));
  struct Row {
    const char* name;
    std::string path;
    BOOL ret;
    DWORD error;
    bool remains;
  };
  const std::vector<Row> rows = {
      {"not empty", In(dir, "full"), FALSE, ERROR_DIR_NOT_EMPTY, true},
      {"missing", In(dir, "missing"), FALSE, ERROR_FILE_NOT_FOUND, false},
      {"missing parent", In(dir, "missing\\x"), FALSE, ERROR_PATH_NOT_FOUND, false},
      {"names a file", In(dir, "file.txt"), FALSE, ERROR_DIRECTORY, true},
      {"current directory of the process", In(dir, "current"), FALSE, ERROR_SHARING_VIOLATION, true},
      {"empty hidden folder", In(dir, "hidden"), TRUE, 0, false},
      {"empty read-only folder", In(dir, "readonly"), TRUE, 0, false},
      {"trailing backslash", In(dir, "slash\\"), TRUE, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kSentinel);
    EXPECT_EQ(row.ret, RemoveDirectoryA(row.path.c_str()));
    if (!row.ret) {
      EXPECT_EQ(row.error, GetLastError());
    }
    EXPECT_EQ(row.remains, Exists(row.path));
  }
}

// With admin=0, creating, changing or deleting anything under the
// protected folders fails with ERROR_ACCESS_DENIED and changes nothing;
// reading still works.
TEST_F(Directories, StandardUserRule) {
  ASSERT_TRUE(CreateDirectoryA("C:\\Program Files\\Veltrane", nullptr));
  PutFile("C:\\Program Files\\Veltrane\\a.dll", "dll");
  PutFile("C:\\probe\\src.txt", "src");
  ASSERT_TRUE(CreateDirectoryA("C:\\ProgramData\\Empty", nullptr));
  ASSERT_TRUE(CreateDirectoryA("C:\\probe\\mine", nullptr));

  StandardUser user;
  struct Row {
    const char* name;
    BOOL (*call)();
  };
  const std::vector<Row> rows = {
      {"CreateDirectoryA", [] { return CreateDirectoryA("C:\\Program Files\\Veltrane\\New", nullptr); }},
      {"CreateDirectoryA (x86)", [] { return CreateDirectoryA("C:\\Program Files (x86)\\New", nullptr); }},
      {"CreateDirectoryA in Windows", [] { return CreateDirectoryA("c:\\windows\\system32\\New", nullptr); }},
      {"RemoveDirectoryA", [] { return RemoveDirectoryA("C:\\ProgramData\\Empty"); }},
      {"CopyFileA into", [] { return CopyFileA("C:\\probe\\src.txt", "C:\\Program Files\\Veltrane\\b.dll", FALSE); }},
      {"CopyFileA over", [] { return CopyFileA("C:\\probe\\src.txt", "C:\\Program Files\\Veltrane\\a.dll", FALSE); }},
      {"DeleteFileA", [] { return DeleteFileA("C:\\Program Files\\Veltrane\\a.dll"); }},
      {"MoveFileExA out", [] {
         return MoveFileExA("C:\\Program Files\\Veltrane\\a.dll", "C:\\probe\\a.dll", MOVEFILE_REPLACE_EXISTING);
       }},
      {"MoveFileExA in", [] {
         return MoveFileExA("C:\\probe\\src.txt", "C:\\Program Files\\Veltrane\\c.dll", MOVEFILE_REPLACE_EXISTING);
       }},
      {"SetFileAttributesA", [] { return SetFileAttributesA("C:\\Program Files\\Veltrane\\a.dll", 0x2); }},
      {"CreateFileA for writing", [] {
         HANDLE h = CreateFileA("C:\\Program Files\\Veltrane\\a.dll", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
         return static_cast<BOOL>(h != INVALID_HANDLE_VALUE && CloseFile(h));
       }},
      {"CreateFileA new", [] {
         HANDLE h = CreateFileA("C:\\Windows\\new.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
         return static_cast<BOOL>(h != INVALID_HANDLE_VALUE && CloseFile(h));
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kSentinel);
    EXPECT_FALSE(row.call());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  }
  EXPECT_EQ("dll", FileBytes("C:\\Program Files\\Veltrane\\a.dll"));
  EXPECT_EQ(0x20u, GetFileAttributesA("C:\\Program Files\\Veltrane\\a.dll"));
  EXPECT_FALSE(Exists("C:\\Program Files\\Veltrane\\b.dll"));
  EXPECT_FALSE(Exists("C:\\Program Files\\Veltrane\\New"));
  EXPECT_FALSE(Exists("C:\\Windows\\new.txt"));
  EXPECT_TRUE(Exists("C:\\ProgramData\\Empty"));
  EXPECT_TRUE(Exists("C:\\probe\\src.txt"));

  // Reading, and anything outside the protected folders, still works.
  HANDLE h = CreateFileA("C:\\Program Files\\Veltrane\\a.dll", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, h);
  CloseFile(h);
  EXPECT_TRUE(CopyFileA("C:\\Program Files\\Veltrane\\a.dll", "C:\\probe\\copy.dll", FALSE));
  EXPECT_TRUE(CreateDirectoryA("C:\\probe\\mine\\sub", nullptr));
  // Questions about missing things get the usual answers first.
  SetLastError(kSentinel);
  EXPECT_FALSE(DeleteFileA("C:\\Program Files\\Veltrane\\missing.dll"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

// A machine folder with pieces missing: every call answers, none crashes.
TEST_F(Directories, MissingMachinePieces) {
  std::filesystem::remove_all(root_ + "/drive_c/Windows/System32");
  struct Row {
    const char* name;
    DWORD (*call)();
    DWORD error;
  };
  const std::vector<Row> rows = {
      {"GetFileAttributesA", [] { return GetFileAttributesA("C:\\Windows\\System32\\x.log"); },
       ERROR_PATH_NOT_FOUND},
      {"CreateDirectoryA", [] { return static_cast<DWORD>(CreateDirectoryA("C:\\Windows\\System32\\s", nullptr)); },
       ERROR_PATH_NOT_FOUND},
      {"CopyFileA", [] { return static_cast<DWORD>(CopyFileA("C:\\Windows\\nothing.ini", "C:\\Windows\\System32\\a", 0)); },
       ERROR_FILE_NOT_FOUND},
      {"DeleteFileA", [] { return static_cast<DWORD>(DeleteFileA("C:\\Windows\\System32\\a")); },
       ERROR_PATH_NOT_FOUND},
      {"FindFirstFileA", [] {
         WIN32_FIND_DATAA data;
         return static_cast<DWORD>(reinterpret_cast<uintptr_t>(FindFirstFileA("C:\\Windows\\System32\\*", &data)));
       },
       ERROR_PATH_NOT_FOUND},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(kSentinel);
    DWORD result = row.call();
    EXPECT_TRUE(result == 0 || result == INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(row.error, GetLastError());
  }
  // Without drive C: at all.
  std::filesystem::remove_all(root_ + "/drive_c");
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("C:\\"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  SetLastError(kSentinel);
  EXPECT_FALSE(CreateDirectoryA("C:\\probe", nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

}  // namespace
}  // namespace files_test
