// The Microsoft C runtime's string functions, release-runtime behaviour.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "crt_msvc.h"

namespace {

constexpr char kFill = '\x5A';

TEST(CrtStrings, CaseInsensitiveCompare) {
  EXPECT_EQ(0, _stricmp("C:\\WINDOWS\\system32", "C:\\Windows\\System32"));
  EXPECT_EQ(0, _stricmp("", ""));
  EXPECT_LT(_stricmp("abc", "ABD"), 0);
  EXPECT_GT(_stricmp("abcd", "ABC"), 0);
  // Compared in lower case: '_' (0x5F) sorts before 'a'.
  EXPECT_LT(_stricmp("_x", "Ax"), 0);
  // Bytes of other code pages compare as they are.
  EXPECT_EQ(0, _stricmp("\xC7\xD1", "\xC7\xD1"));
  EXPECT_NE(0, _stricmp("\xC7\xD1", "\xE7\xD1"));
  EXPECT_EQ(0, _strnicmp("SETUP.exe", "setup.EXE.bak", 9));
  EXPECT_NE(0, _strnicmp("SETUP.exe", "setup.EXE.bak", 10));
  EXPECT_EQ(0, _strnicmp("a", "b", 0));
  errno = 0;
  EXPECT_EQ(0x7FFFFFFF, _stricmp(nullptr, "a"));
  EXPECT_EQ(EINVAL, errno);
}

TEST(CrtStrings, StrcpyS) {
  struct Row {
    const char* name;
    size_t size;
    const char* src;
    errno_t result;
    const char* dest;  // afterwards
  };
  const std::vector<Row> rows = {
      {"fits", 8, "abc", 0, "abc"},
      {"fits exactly", 4, "abc", 0, "abc"},
      {"one too long", 3, "abc", ERANGE, ""},
      {"null source", 8, nullptr, EINVAL, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char dest[16];
    std::memset(dest, kFill, sizeof dest);
    EXPECT_EQ(row.result, strcpy_s(dest, row.size, row.src));
    EXPECT_STREQ(row.dest, dest);
    EXPECT_EQ(kFill, dest[row.size]);  // nothing past the given size
  }
  EXPECT_EQ(EINVAL, strcpy_s(nullptr, 8, "a"));
  char one[1] = {kFill};
  EXPECT_EQ(EINVAL, strcpy_s(one, 0, "a"));
  EXPECT_EQ(kFill, one[0]);
}

TEST(CrtStrings, StrncpyS) {
  struct Row {
    const char* name;
    size_t size;
    const char* src;
    size_t count;
    errno_t result;
    const char* dest;
  };
  const std::vector<Row> rows = {
      {"count shorter than source", 8, "abcdef", 3, 0, "abc"},
      {"source shorter than count", 8, "ab", 5, 0, "ab"},
      {"too long", 4, "abcdef", 5, ERANGE, ""},
      {"truncate", 4, "abcdef", _TRUNCATE, STRUNCATE, "abc"},
      {"truncate, fits", 8, "abc", _TRUNCATE, 0, "abc"},
      {"count 0", 8, "abc", 0, 0, ""},
      {"null source", 8, nullptr, 3, EINVAL, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char dest[16];
    std::memset(dest, kFill, sizeof dest);
    EXPECT_EQ(row.result, strncpy_s(dest, row.size, row.src, row.count));
    EXPECT_STREQ(row.dest, dest);
  }
  EXPECT_EQ(0, strncpy_s(nullptr, 0, nullptr, 0));
}

TEST(CrtStrings, StrcatS) {
  struct Row {
    const char* name;
    const char* start;
    size_t size;
    const char* src;
    errno_t result;
    const char* dest;
  };
  const std::vector<Row> rows = {
      {"fits", "ab", 8, "cd", 0, "abcd"},
      {"fits exactly", "ab", 5, "cd", 0, "abcd"},
      {"too long", "ab", 4, "cd", ERANGE, ""},
      {"null source", "ab", 8, nullptr, EINVAL, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char dest[16];
    std::memset(dest, kFill, sizeof dest);
    std::strcpy(dest, row.start);
    EXPECT_EQ(row.result, strcat_s(dest, row.size, row.src));
    EXPECT_STREQ(row.dest, dest);
  }
  char unterminated[4];
  std::memset(unterminated, 'x', sizeof unterminated);
  EXPECT_EQ(EINVAL, strcat_s(unterminated, sizeof unterminated, "y"));
  EXPECT_EQ('\0', unterminated[0]);
}

TEST(CrtStrings, SprintfS) {
  char buffer[8];
  std::memset(buffer, kFill, sizeof buffer);
  EXPECT_EQ(5, sprintf_s(buffer, sizeof buffer, "%s-%d", "ab", 42));
  EXPECT_STREQ("ab-42", buffer);
  EXPECT_EQ(7, sprintf_s(buffer, sizeof buffer, "%07d", 1));
  EXPECT_STREQ("0000001", buffer);
  errno = 0;
  EXPECT_EQ(-1, sprintf_s(buffer, sizeof buffer, "%08d", 1));  // the terminator does not fit
  EXPECT_EQ(ERANGE, errno);
  EXPECT_STREQ("", buffer);
  errno = 0;
  EXPECT_EQ(-1, sprintf_s(nullptr, 8, "x"));
  EXPECT_EQ(EINVAL, errno);
}

TEST(CrtStrings, SnprintfS) {
  struct Row {
    const char* name;
    size_t size;
    size_t count;
    const char* text;
    int result;
    const char* buffer;
    int error;  // errno expected afterwards (it starts at 0)
  };
  const std::vector<Row> rows = {
      {"fits", 8, _TRUNCATE, "abc", 3, "abc", 0},
      {"truncated", 4, _TRUNCATE, "abcdef", -1, "abc", 0},
      {"exactly one too long", 4, _TRUNCATE, "abcd", -1, "abc", 0},
      {"count limits", 8, 2, "abcdef", -1, "ab", 0},
      {"count fits", 8, 6, "abc", 3, "abc", 0},
      {"too long for the buffer", 4, 10, "abcdef", -1, "", ERANGE},
      {"fits the buffer, count larger", 8, 10, "abc", 3, "abc", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char buffer[16];
    std::memset(buffer, kFill, sizeof buffer);
    errno = 0;
    EXPECT_EQ(row.result, _snprintf_s(buffer, row.size, row.count, "%s", row.text));
    EXPECT_STREQ(row.buffer, buffer);
    EXPECT_EQ(row.error, errno);
    EXPECT_EQ(kFill, buffer[row.size]);
  }
  // The install log's time stamp: at most 40 bytes with the terminator.
  char stamp[40];
  EXPECT_EQ(19, _snprintf_s(stamp, sizeof stamp, _TRUNCATE, "%04d-%02d-%02d %02d:%02d:%02d", 2026, 12, 7, 10, 42, 8));
  EXPECT_STREQ("2026-12-07 10:42:08", stamp);
  EXPECT_EQ(0, _snprintf_s(nullptr, 0, 0, "x"));
  errno = 0;
  EXPECT_EQ(-1, _snprintf_s(stamp, sizeof stamp, _TRUNCATE, nullptr));
  EXPECT_EQ(EINVAL, errno);
}

}  // namespace
