// GetFullPathNameA and GetLongPathNameA, with buffers of every size.
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "windows.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;
constexpr unsigned char kFill = 0xCC;

class PathNames : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    Folder("files");
    PutFile("C:\\probe\\files\\Mixed.TXT", "m");
    Folder("files\\Sub Dir");
    PutFile("C:\\probe\\files\\\xC7\xD1\xB1\xDB.txt", "k");
  }
};

TEST_F(PathNames, GetFullPathNameRows) {
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\probe\\files"));
  struct Row {
    const char* name;
    const char* input;
    const char* full;
    const char* filePart;  // nullptr: no file part
  };
  const std::vector<Row> rows = {
      {"keeps the given case", "c:\\PROBE\\files\\mixed.txt", "c:\\PROBE\\files\\mixed.txt", "mixed.txt"},
      {"relative", "mixed.txt", "C:\\probe\\files\\mixed.txt", "mixed.txt"},
      {"dot and dot-dot", ".\\..\\files\\.\\x\\..\\y.txt", "C:\\probe\\files\\y.txt", "y.txt"},
      {"rooted", "\\rooted.txt", "C:\\rooted.txt", "rooted.txt"},
      {"forward slashes", "C:/a/b", "C:\\a\\b", "b"},
      {"trailing backslash", "C:\\a\\b\\", "C:\\a\\b\\", nullptr},
      {"drive root", "C:\\", "C:\\", nullptr},
      {"drive and relative", "C:sub", "C:\\probe\\files\\sub", "sub"},
      {"wildcards are kept", "C:\\a\\*.txt", "C:\\a\\*.txt", "*.txt"},
      {"trailing dots go", "C:\\a\\name.", "C:\\a\\name", "name"},
      {"above the root", "C:\\..\\..\\x", "C:\\x", "x"},
      {"Korean", "\xC7\xD1\xB1\xDB\\\xB1\xDB.txt", "C:\\probe\\files\\\xC7\xD1\xB1\xDB\\\xB1\xDB.txt",
       "\xB1\xDB.txt"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char buffer[MAX_PATH];
    std::memset(buffer, kFill, sizeof buffer);
    char* filePart = reinterpret_cast<char*>(0x1);
    SetLastError(kSentinel);
    DWORD n = GetFullPathNameA(row.input, sizeof buffer, buffer, &filePart);
    EXPECT_EQ(std::strlen(row.full), n);
    EXPECT_STREQ(row.full, buffer);
    EXPECT_EQ(kFill, static_cast<unsigned char>(buffer[n + 1]));
    if (row.filePart) {
      ASSERT_NE(nullptr, filePart);
      EXPECT_STREQ(row.filePart, filePart);
      EXPECT_TRUE(filePart >= buffer && filePart < buffer + n);
    } else {
      EXPECT_EQ(nullptr, filePart);
    }
  }
}

TEST_F(PathNames, GetFullPathNameEveryBufferSize) {
  const std::string expected = "C:\\probe\\files\\Sub Dir\\x.txt";
  const DWORD len = static_cast<DWORD>(expected.size());
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\probe\\files"));
  for (DWORD size = 0; size <= len + 2; ++size) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> buffer(len + 8, kFill);
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA("Sub Dir\\x.txt", size, reinterpret_cast<char*>(buffer.data()), &filePart);
    if (size <= len) {
      EXPECT_EQ(len + 1, n);  // the size needed, terminator included
      for (unsigned char c : buffer) EXPECT_EQ(kFill, c);
    } else {
      EXPECT_EQ(len, n);
      EXPECT_EQ(expected, std::string(reinterpret_cast<char*>(buffer.data())));
      EXPECT_EQ(kFill, buffer[len + 1]);
      EXPECT_STREQ("x.txt", filePart);
    }
  }
  EXPECT_EQ(len + 1, GetFullPathNameA("Sub Dir\\x.txt", 0, nullptr, nullptr));
}

TEST_F(PathNames, GetFullPathNameBadInput) {
  struct Row {
    const char* name;
    const char* input;
    DWORD error;
  };
  const std::string longName = "C:\\" + std::string(300, 'l');
  const std::vector<Row> rows = {
      {"null", nullptr, ERROR_INVALID_PARAMETER},
      {"empty", "", ERROR_INVALID_NAME},
      {"over-long", longName.c_str(), ERROR_FILENAME_EXCED_RANGE},
      {"unknown drive", "Q:\\x", ERROR_PATH_NOT_FOUND},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char buffer[MAX_PATH];
    std::memset(buffer, kFill, sizeof buffer);
    SetLastError(kSentinel);
    EXPECT_EQ(0u, GetFullPathNameA(row.input, sizeof buffer, buffer, nullptr));
    EXPECT_EQ(row.error, GetLastError());
    EXPECT_EQ(kFill, static_cast<unsigned char>(buffer[0]));
  }
  // An invalid multibyte sequence is only text here: its replacement
  // character is kept, as for any name that is not looked up.
  char replaced[MAX_PATH];
  EXPECT_EQ(7u, GetFullPathNameA("C:\\bad\xC7", sizeof replaced, replaced, nullptr));
  EXPECT_STREQ("C:\\bad?", replaced);
  // The input may be the output buffer itself.
  char buffer[MAX_PATH] = "C:/probe/files";
  EXPECT_EQ(14u, GetFullPathNameA(buffer, sizeof buffer, buffer, nullptr));
  EXPECT_STREQ("C:\\probe\\files", buffer);
}

TEST_F(PathNames, GetLongPathNameRows) {
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\probe"));
  struct Row {
    const char* name;
    const char* input;
    const char* result;  // nullptr: fails with `error`
    DWORD error;
  };
  const std::vector<Row> rows = {
      {"stored case, drive as given", "c:\\PROBE\\files\\mixed.txt", "c:\\probe\\files\\Mixed.TXT", 0},
      {"folder with blanks", "C:\\probe\\FILES\\sub dir", "C:\\probe\\files\\Sub Dir", 0},
      {"trailing backslash kept", "C:\\probe\\files\\sub dir\\", "C:\\probe\\files\\Sub Dir\\", 0},
      {"relative stays relative", "files\\MIXED.TXT", "files\\Mixed.TXT", 0},
      {"dot stays", ".\\files", ".\\files", 0},
      {"drive root", "C:\\", "C:\\", 0},
      {"Korean", "C:\\probe\\files\\\xC7\xD1\xB1\xDB.TXT", "C:\\probe\\files\\\xC7\xD1\xB1\xDB.txt", 0},
      {"missing file", "C:\\probe\\files\\missing.txt", nullptr, ERROR_FILE_NOT_FOUND},
      {"missing folder", "C:\\probe\\nodir\\x.txt", nullptr, ERROR_PATH_NOT_FOUND},
      {"wildcard", "C:\\probe\\files\\*", nullptr, ERROR_INVALID_NAME},
      {"empty", "", nullptr, ERROR_PATH_NOT_FOUND},
      {"null", nullptr, nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char buffer[MAX_PATH];
    std::memset(buffer, kFill, sizeof buffer);
    SetLastError(kSentinel);
    DWORD n = GetLongPathNameA(row.input, buffer, sizeof buffer);
    if (row.result) {
      EXPECT_EQ(std::strlen(row.result), n);
      EXPECT_STREQ(row.result, buffer);
    } else {
      EXPECT_EQ(0u, n);
      EXPECT_EQ(row.error, GetLastError());
      EXPECT_EQ(kFill, static_cast<unsigned char>(buffer[0]));
    }
  }
}

TEST_F(PathNames, GetLongPathNameEveryBufferSize) {
  const std::string expected = "C:\\probe\\files\\Mixed.TXT";
  const DWORD len = static_cast<DWORD>(expected.size());
  for (DWORD size = 0; size <= len + 2; ++size) {
    SCOPED_TRACE(size);
    std::vector<unsigned char> buffer(len + 8, kFill);
    DWORD n = GetLongPathNameA("C:\\PROBE\\FILES\\MIXED.TXT", reinterpret_cast<char*>(buffer.data()), size);
    if (size <= len) {
      EXPECT_EQ(len + 1, n);
      for (unsigned char c : buffer) EXPECT_EQ(kFill, c);
    } else {
      EXPECT_EQ(len, n);
      EXPECT_EQ(expected, std::string(reinterpret_cast<char*>(buffer.data())));
    }
  }
  // In place, as programs call it.
  char buffer[MAX_PATH] = "C:\\PROBE\\FILES\\MIXED.TXT";
  EXPECT_EQ(len, GetLongPathNameA(buffer, buffer, sizeof buffer));
  EXPECT_EQ(expected, buffer);
}

}  // namespace
}  // namespace files_test
