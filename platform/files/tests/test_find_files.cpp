// FindFirstFileA, FindNextFileA and FindClose.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files_test_support.h"
#include "windows.h"

namespace files_test {
namespace {

constexpr DWORD kSentinel = 0xdeadbeef;

// Every name a search returns, in order; *error is the last error after
// the search ended (or failed).
std::vector<std::string> Names(const std::string& query, DWORD* error) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  std::memset(&data, 0xCC, sizeof data);
  SetLastError(kSentinel);
  HANDLE find = FindFirstFileA(query.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return names;
  }
  do {
    names.push_back(data.cFileName);
    std::memset(&data, 0xCC, sizeof data);
  } while (FindNextFileA(find, &data));
  *error = GetLastError();
  EXPECT_TRUE(FindClose(find));
  return names;
}

class FindFiles : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    dir_ = Folder("find");
    // Made in an order unlike the listing's.
    for (const char* name : {"Zed.TXT", "b.txt", "_under.txt", "noext", "A.txt", "long name with spaces.txt",
                             "c.txt", "1num.txt"})
      PutFile(In(dir_, name), "data");
    Folder("find\\sub");
  }
  std::string dir_;
};

TEST_F(FindFiles, ListingRows) {
  // The measured listing.
  const std::vector<std::string> full = {".",     "..",    "1num.txt", "A.txt",   "b.txt", "c.txt",
                                         "long name with spaces.txt", "noext", "sub", "Zed.TXT", "_under.txt"};
  const std::string empty = Folder("findempty");
  Folder("find\\hid");
  MarkAttributes(In(dir_, "hid"), FILE_ATTRIBUTE_HIDDEN);
  struct Row {
    const char* name;
    std::string query;
    std::vector<std::string> names;
    DWORD error;
  };
  std::vector<std::string> withHidden = full;
  withHidden.insert(withHidden.begin() + 6, "hid");
  const std::vector<Row> rows = {
      {"*.*", In(dir_, "*.*"), withHidden, ERROR_NO_MORE_FILES},
      {"*", In(dir_, "*"), withHidden, ERROR_NO_MORE_FILES},
      {"*.txt", In(dir_, "*.txt"),
       {"1num.txt", "A.txt", "b.txt", "c.txt", "long name with spaces.txt", "Zed.TXT", "_under.txt"},
       ERROR_NO_MORE_FILES},
      {"?.txt", In(dir_, "?.txt"), {"A.txt", "b.txt", "c.txt"}, ERROR_NO_MORE_FILES},
      {"noext.*", In(dir_, "noext.*"), {"noext"}, ERROR_NO_MORE_FILES},
      {"empty folder", In(empty, "*.*"), {".", ".."}, ERROR_NO_MORE_FILES},
      {"no match", In(dir_, "*.doc"), {}, ERROR_FILE_NOT_FOUND},
      {"no wildcard, a file in another case", In(dir_, "ZED.txt"), {"Zed.TXT"}, ERROR_NO_MORE_FILES},
      {"no wildcard, a folder", In(dir_, "SUB"), {"sub"}, ERROR_NO_MORE_FILES},
      {"no wildcard, a hidden folder", In(dir_, "hid"), {"hid"}, ERROR_NO_MORE_FILES},
      {"no wildcard, trailing backslash", In(dir_, "sub\\"), {}, ERROR_FILE_NOT_FOUND},
      {"drive root", "C:\\", {}, ERROR_FILE_NOT_FOUND},
      {"missing name", In(dir_, "missing.txt"), {}, ERROR_FILE_NOT_FOUND},
      {"missing parent", In(dir_, "missing\\*.*"), {}, ERROR_PATH_NOT_FOUND},
      {"missing parent, no wildcard", In(dir_, "missing\\x"), {}, ERROR_PATH_NOT_FOUND},
      {"wildcard inside the path", "C:\\probe\\*\\b.txt", {}, ERROR_INVALID_NAME},
      {"empty query", "", {}, ERROR_PATH_NOT_FOUND},
      {"over-long query", In(dir_, std::string(300, 'q')), {}, ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    DWORD error = 0;
    EXPECT_EQ(row.names, Names(row.query, &error));
    EXPECT_EQ(row.error, error);
  }
}

TEST_F(FindFiles, DriveRootHasNoDotEntries) {
  DWORD error = 0;
  std::vector<std::string> names = Names("C:\\*", &error);
  EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), error);
  ASSERT_FALSE(names.empty());
  EXPECT_NE(".", names[0]);
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "probe"));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), "Windows"));
}

TEST_F(FindFiles, FindDataDescribesTheEntry) {
  PutFile(In(dir_, "sized.bin"), std::string(1234, 'z'));
  MarkAttributes(In(dir_, "sized.bin"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  WIN32_FIND_DATAA data;
  std::memset(&data, 0xCC, sizeof data);
  HANDLE find = FindFirstFileA(In(dir_, "SIZED.BIN").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_EQ(0x23u, data.dwFileAttributes);
  EXPECT_EQ(0u, data.nFileSizeHigh);
  EXPECT_EQ(1234u, data.nFileSizeLow);
  EXPECT_STREQ("sized.bin", data.cFileName);
  EXPECT_STREQ("", data.cAlternateFileName);
  // 100 ns ticks since 1601: the host time plus 369 years.
  const unsigned long long ticks =
      (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(HostMtimeNs(In(dir_, "sized.bin")) / 100 + 116444736000000000ULL, ticks);
  EXPECT_NE(0u, data.ftCreationTime.dwHighDateTime);
  SetLastError(kSentinel);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
  EXPECT_TRUE(FindClose(find));

  find = FindFirstFileA(In(dir_, "sub").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_EQ(0x10u, data.dwFileAttributes);
  EXPECT_EQ(0u, data.nFileSizeLow);
  EXPECT_TRUE(FindClose(find));
}

TEST_F(FindFiles, AlternateNamesForLongNames) {
  PutFile(In(dir_, "long name two.txt"), "x");
  PutFile(In(dir_, "LONGNA~1.TXT"), "taken");  // an existing 8.3 name is not handed out again
  struct Row {
    const char* name;
    const char* alternate;
  };
  const std::vector<Row> rows = {
      {"b.txt", ""},
      {"noext", ""},
      {"LONGNA~1.TXT", ""},
      {"long name two.txt", "LONGNA~2.TXT"},
      {"long name with spaces.txt", "LONGNA~3.TXT"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    WIN32_FIND_DATAA data;
    std::memset(&data, 0xCC, sizeof data);
    HANDLE find = FindFirstFileA(In(dir_, row.name).c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    EXPECT_STREQ(row.alternate, data.cAlternateFileName);
    FindClose(find);
  }
}

// Many long names of one family: numbers count up in listing order, pass
// over 8.3 names that exist, and from ~10 on take the place of the name's
// last character.
TEST_F(FindFiles, AlternateNumbersOfOneFamily) {
  const std::string dir = Folder("family");
  for (int i = 1; i <= 12; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "extra%05d.dat", i);
    PutFile(In(dir, name), "x");
  }
  PutFile(In(dir, "EXTRA0~3.DAT"), "taken");
  PutFile(In(dir, "EXTRA~10.DAT"), "taken");
  const std::vector<std::string> expected = {
      "EXTRA0~1.DAT", "EXTRA0~2.DAT", "EXTRA0~4.DAT", "EXTRA0~5.DAT", "EXTRA0~6.DAT", "EXTRA0~7.DAT",
      "EXTRA0~8.DAT", "EXTRA0~9.DAT", "EXTRA~11.DAT", "EXTRA~12.DAT", "EXTRA~13.DAT", "EXTRA~14.DAT",
      "",             ""};  // the two 8.3 names, which sort last
  std::vector<std::string> alternates;
  WIN32_FIND_DATAA data;
  std::memset(&data, 0xCC, sizeof data);
  HANDLE find = FindFirstFileA(In(dir, "extra*.dat").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  do {
    alternates.push_back(data.cAlternateFileName);
    std::memset(&data, 0xCC, sizeof data);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  EXPECT_EQ(expected, alternates);
  // One entry asked for by its name gets the number it has in the listing.
  std::memset(&data, 0xCC, sizeof data);
  find = FindFirstFileA(In(dir, "extra00009.dat").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_STREQ("EXTRA~11.DAT", data.cAlternateFileName);
  FindClose(find);
}

TEST_F(FindFiles, KoreanNamesComeBackInTheCodePage) {
  const std::string dir = Folder("korean");
  PutFile(In(dir, "\xC7\xD1\xB1\xDB.txt"), "k");
  DWORD error = 0;
  EXPECT_EQ((std::vector<std::string>{".", "..", "\xC7\xD1\xB1\xDB.txt"}), Names(In(dir, "*.*"), &error));
  EXPECT_EQ((std::vector<std::string>{"\xC7\xD1\xB1\xDB.txt"}), Names(In(dir, "\xC7\xD1*"), &error));
}

TEST_F(FindFiles, BadHandlesAndArguments) {
  WIN32_FIND_DATAA data;
  SetLastError(kSentinel);
  EXPECT_FALSE(FindNextFileA(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  SetLastError(kSentinel);
  EXPECT_FALSE(FindClose(reinterpret_cast<HANDLE>(0x1234)));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(nullptr, &data));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  SetLastError(kSentinel);
  EXPECT_EQ(INVALID_HANDLE_VALUE, FindFirstFileA(In(dir_, "*").c_str(), nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());

  // A closed search is gone; a file handle is not a search.
  HANDLE find = FindFirstFileA(In(dir_, "*").c_str(), &data);
  ASSERT_NE(INVALID_HANDLE_VALUE, find);
  EXPECT_TRUE(FindClose(find));
  SetLastError(kSentinel);
  EXPECT_FALSE(FindNextFileA(find, &data));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
  HANDLE file = CreateFileA(In(dir_, "b.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  EXPECT_FALSE(FindClose(file));
  EXPECT_TRUE(CloseFile(file));
}

// Folders below and above the size from which a search's entries are
// described on another thread; in each, every entry comes back once, in
// order, with its own size and attributes, also while the caller deletes
// each entry as it is listed (as removing a folder tree does).
TEST_F(FindFiles, EveryEntryOfAFolderOfAnySizeOnceWithItsData) {
  struct Row {
    const char* name;
    int count;
    bool deleteAsListed;
  };
  const std::vector<Row> rows = {
      {"small", 6, false},         {"small, deleted as listed", 6, true},
      {"large", 700, false},       {"large, deleted as listed", 700, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string dir = Folder(std::string("many ") + row.name);
    std::vector<std::string> expected;
    for (int i = 0; i < row.count; ++i) {
      char name[32];
      // Made from the end, so that creation order is not the listing's.
      std::snprintf(name, sizeof name, "e%05d.dat", row.count - 1 - i);
      PutFile(In(dir, name), std::string(static_cast<size_t>((row.count - 1 - i) % 7), 'x'));
    }
    for (int i = 0; i < row.count; i += 5) {
      char name[32];
      std::snprintf(name, sizeof name, "e%05d.dat", i);
      MarkAttributes(In(dir, name), i % 10 == 0 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_READONLY);
    }
    WIN32_FIND_DATAA data;
    std::memset(&data, 0xCC, sizeof data);
    HANDLE find = FindFirstFileA(In(dir, "e*.dat").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    int listed = 0;
    do {
      char name[32];
      std::snprintf(name, sizeof name, "e%05d.dat", listed);
      ASSERT_STREQ(name, data.cFileName);
      const DWORD attributes = FILE_ATTRIBUTE_ARCHIVE | (listed % 10 == 0   ? FILE_ATTRIBUTE_HIDDEN
                                                         : listed % 5 == 0 ? FILE_ATTRIBUTE_READONLY
                                                                           : 0);
      EXPECT_EQ(attributes, data.dwFileAttributes) << name;
      EXPECT_EQ(static_cast<DWORD>(listed % 7), data.nFileSizeLow) << name;
      if (row.deleteAsListed) {
        ASSERT_TRUE(SetFileAttributesA(In(dir, name).c_str(), FILE_ATTRIBUTE_NORMAL));
        ASSERT_TRUE(DeleteFileA(In(dir, name).c_str())) << GetLastError();
      }
      ++listed;
      std::memset(&data, 0xCC, sizeof data);
      SetLastError(kSentinel);
    } while (FindNextFileA(find, &data));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_MORE_FILES), GetLastError());
    EXPECT_EQ(row.count, listed);
    EXPECT_TRUE(FindClose(find));
  }
}

}  // namespace
}  // namespace files_test
