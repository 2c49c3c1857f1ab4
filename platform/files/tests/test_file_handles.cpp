// CreateFileA and the operations on file handles.
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "machine_fixture.h"
#include "windows.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

class FileHandles : public FilesTest {};

TEST_F(FileHandles, CreateFileRows) {
  const std::string dir = Folder("create");
  PutFile(In(dir, "exists.txt"), "old");
  PutFile(In(dir, "ro.txt"), "ro");
  MarkAttributes(In(dir, "ro.txt"), FILE_ATTRIBUTE_READONLY);
  PutFile(In(dir, "hidden.txt"), "hid");
  MarkAttributes(In(dir, "hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
  Folder("create\\sub");
  struct Row {
    const char* name;
    const char* file;
    DWORD access;
    DWORD disposition;
    DWORD attributes;
    bool opens;
    DWORD error;              // on failure; on success the last error (0 or ALREADY_EXISTS)
    const char* bytesAfter;   // nullptr: must not exist afterwards
  };
  const std::vector<Row> rows = {
      {"CREATE_NEW, exists", "exists.txt", GENERIC_WRITE, CREATE_NEW, 0, false, ERROR_FILE_EXISTS, "old"},
      {"CREATE_NEW, new", "new1.txt", GENERIC_WRITE, CREATE_NEW, 0, true, 0, ""},
      {"CREATE_ALWAYS, exists", "exists.txt", GENERIC_WRITE, CREATE_ALWAYS, 0, true, ERROR_ALREADY_EXISTS, ""},
      {"OPEN_ALWAYS, new", "new2.txt", GENERIC_READ, OPEN_ALWAYS, 0, true, 0, ""},
      {"OPEN_ALWAYS, exists", "ro.txt", GENERIC_READ, OPEN_ALWAYS, 0, true, ERROR_ALREADY_EXISTS, "ro"},
      {"OPEN_EXISTING, missing", "missing.txt", GENERIC_READ, OPEN_EXISTING, 0, false, ERROR_FILE_NOT_FOUND, nullptr},
      {"OPEN_EXISTING, missing folder", "nodir\\x.txt", GENERIC_READ, OPEN_EXISTING, 0, false, ERROR_PATH_NOT_FOUND,
       nullptr},
      {"CREATE_NEW, missing folder", "nodir\\x.txt", GENERIC_WRITE, CREATE_NEW, 0, false, ERROR_PATH_NOT_FOUND,
       nullptr},
      {"TRUNCATE_EXISTING without write access", "ro.txt", GENERIC_READ, TRUNCATE_EXISTING, 0, false,
       ERROR_INVALID_PARAMETER, "ro"},
      {"unknown disposition", "ro.txt", GENERIC_READ, 9, 0, false, ERROR_INVALID_PARAMETER, "ro"},
      {"write a read-only file", "ro.txt", GENERIC_WRITE, OPEN_EXISTING, 0, false, ERROR_ACCESS_DENIED, "ro"},
      {"read a read-only file", "ro.txt", GENERIC_READ, OPEN_EXISTING, 0, true, 0, "ro"},
      {"a folder", "sub", GENERIC_READ, OPEN_EXISTING, 0, false, ERROR_ACCESS_DENIED, nullptr},
      {"CREATE_ALWAYS over a hidden file", "hidden.txt", GENERIC_WRITE, CREATE_ALWAYS, 0, false, ERROR_ACCESS_DENIED,
       "hid"},
      {"CREATE_ALWAYS over a hidden file, hidden asked", "hidden.txt", GENERIC_WRITE, CREATE_ALWAYS,
       FILE_ATTRIBUTE_HIDDEN, true, ERROR_ALREADY_EXISTS, ""},
      {"file with a trailing backslash", "ro.txt\\", GENERIC_READ, OPEN_EXISTING, 0, false, ERROR_PATH_NOT_FOUND,
       nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = In(dir, row.file);
    SetLastError(kSentinel);
    HANDLE h = CreateFileA(path.c_str(), row.access, FILE_SHARE_READ, nullptr, row.disposition, row.attributes,
                           nullptr);
    EXPECT_EQ(row.opens, h != INVALID_HANDLE_VALUE);
    EXPECT_EQ(row.error, GetLastError());
    if (h != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(CloseFile(h));
    }
    const std::string checked = path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
    if (row.bytesAfter) {
      EXPECT_EQ(row.bytesAfter, FileBytes(checked));
    } else if (std::string(row.file) != "sub" && path.back() != '\\') {
      EXPECT_FALSE(Exists(path));
    }
  }
  EXPECT_EQ(0x22u, GetFileAttributesA(In(dir, "hidden.txt").c_str()));
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(FileHandles, CreatingOverAnotherSpellingKeepsTheStoredName) {
  const std::string dir = Folder("spelling");
  PutFile(In(dir, "Mixed.TXT"), "old contents");
  HANDLE h = CreateFileA(In(dir, "MIXED.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(h, "new", 3, &written, nullptr));
  EXPECT_TRUE(CloseFile(h));
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(In(dir, "*").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  std::vector<std::string> names;
  do names.push_back(data.cFileName);
  while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ((std::vector<std::string>{".", "..", "Mixed.TXT"}), names);
  EXPECT_EQ("new", FileBytes(In(dir, "Mixed.TXT")));
}

TEST_F(FileHandles, ReadWriteSeekAndSize) {
  const std::string path = In(Folder("rw"), "data.bin");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  DWORD done = kSentinel;
  EXPECT_TRUE(WriteFile(h, "line\nbinary\r\n", 13, &done, nullptr));
  EXPECT_EQ(13u, done);
  DWORD high = kSentinel;
  EXPECT_EQ(13u, GetFileSize(h, &high));
  EXPECT_EQ(0u, high);
  EXPECT_EQ(5u, SetFilePointer(h, 5, nullptr, FILE_BEGIN));
  char buffer[32];
  std::memset(buffer, 0xCC, sizeof buffer);
  EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(8u, done);
  EXPECT_EQ(0, std::memcmp(buffer, "binary\r\n", 8));
  EXPECT_EQ(static_cast<char>(0xCC), buffer[8]);
  // At the end: success with nothing read.
  EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(0u, done);
  EXPECT_EQ(11u, SetFilePointer(h, -2, nullptr, FILE_END));
  EXPECT_EQ(12u, SetFilePointer(h, 1, nullptr, FILE_CURRENT));
  LONG highMove = 0;
  EXPECT_EQ(3u, SetFilePointer(h, 3, &highMove, FILE_BEGIN));
  EXPECT_EQ(0, highMove);
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, -20, nullptr, FILE_CURRENT));
  EXPECT_EQ(static_cast<DWORD>(ERROR_NEGATIVE_SEEK), GetLastError());
  EXPECT_EQ(3u, SetFilePointer(h, 0, nullptr, FILE_CURRENT));  // unchanged by the refused move
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, 0, nullptr, 7));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  EXPECT_TRUE(FlushFileBuffers(h));
  EXPECT_TRUE(CloseFile(h));
  EXPECT_EQ("line\nbinary\r\n", FileBytes(path));  // a handle writes bytes unchanged
}

TEST_F(FileHandles, AccessAndHandleChecks) {
  const std::string path = In(Folder("access"), "f.txt");
  PutFile(path, "abc");
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, reader);
  DWORD done = kSentinel;
  SetLastError(kSentinel);
  EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  EXPECT_EQ(0u, done);
  SetLastError(kSentinel);
  EXPECT_FALSE(FlushFileBuffers(reader));
  EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
  char buffer[4];
  SetLastError(kSentinel);
  EXPECT_FALSE(ReadFile(reader, buffer, sizeof buffer, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  SetLastError(kSentinel);
  EXPECT_FALSE(ReadFile(reader, nullptr, 4, &done, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_NOACCESS), GetLastError());

  // A second open that wants to write while the first shares only reading.
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_HANDLE_VALUE,
            CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
  // A second reader that does not share reading.
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
  HANDLE second = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, second);
  EXPECT_TRUE(CloseFile(second));
  EXPECT_TRUE(CloseFile(reader));
  // Once closed, writing is allowed again.
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(INVALID_HANDLE_VALUE, writer);
  EXPECT_TRUE(CloseFile(writer));

  const HANDLE bad[] = {nullptr, INVALID_HANDLE_VALUE, reader};
  for (HANDLE h : bad) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(h));
    SetLastError(kSentinel);
    EXPECT_FALSE(ReadFile(h, buffer, 1, &done, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(kSentinel);
    EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(h, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(kSentinel);
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(h, 0, nullptr, FILE_BEGIN));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    SetLastError(kSentinel);
    EXPECT_FALSE(FlushFileBuffers(h));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  }
}

TEST_F(FileHandles, NewFileAttributesAndKoreanNames) {
  const std::string dir = Folder("attrs");
  const std::string hidden = In(dir, "\xC7\xD1\xB1\xDB.ini");
  HANDLE h = CreateFileA(hidden.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  DWORD done = 0;
  // The creating handle may still write a file it made read-only.
  EXPECT_TRUE(WriteFile(h, "k", 1, &done, nullptr));
  EXPECT_TRUE(CloseFile(h));
  EXPECT_EQ(0x23u, GetFileAttributesA(hidden.c_str()));
  EXPECT_EQ("k", winsim::testing::ReadHostFile(Host(dir) + "/\xed\x95\x9c\xea\xb8\x80.ini"));
}

}  // namespace
}  // namespace files_test
