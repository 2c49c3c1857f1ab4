// Edge cases of the profile functions with the Windows result per row: cut
// name lists in the code page, last errors, deletions in missing files and
// lines that a rewrite must keep byte for byte.
#include <unistd.h>

#include <string>
#include <vector>

#include "machine_fixture.h"
#include "profile_test_support.h"

namespace profile_test {
namespace {

using namespace std::string_literals;

class ProfileEdgeCases : public ProfileTest {};

// A cut list: nSize-2 bytes of the names, two NULs, nothing after them.
void ExpectCutList(const ReadOutcome& out, DWORD nSize, const std::string& names) {
  ASSERT_GE(nSize, 2u);
  EXPECT_EQ(nSize - 2, out.ret);
  EXPECT_EQ(Escaped(names.substr(0, nSize - 2) + "\0\0"s), Escaped(out.buffer.substr(0, nSize)));
  for (size_t i = nSize; i < out.buffer.size(); ++i)
    EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[i])) << "byte " << i << " was written";
}

// Walks a returned list as a caller does: names until an empty one. False
// when the walk would leave the buffer of nSize bytes.
bool WalkStaysInside(const ReadOutcome& out, DWORD nSize) {
  size_t i = 0;
  while (i < nSize) {
    size_t end = out.buffer.find('\0', i);
    if (end == std::string::npos || end >= nSize) return false;
    if (end == i) return true;
    i = end + 1;
  }
  return false;
}

TEST_F(ProfileEdgeCases, CutListsEndWithTwoNulsInEveryCase) {
  const std::string han = "\xC7\xD1\xB1\xDB";
  struct Row {
    const char* row;
    std::string ini;
    const char* section;  // NULL: the section list
    std::string names;    // the whole list, names each followed by NUL
  } rows[] = {
      {"section names", "[Alpha]\r\n[Beta]\r\n", nullptr, "Alpha\0Beta\0"s},
      {"key names", "[S]\r\none=1\r\ntwo=2\r\n", "S", "one\0two\0"s},
      {"hangul section name", "[" + han + "]\r\n", nullptr, han + '\0'},
      {"hangul key names", "[S]\r\n" + han + "=1\r\n" + han + han + "=2\r\n", "S", han + '\0' + han + han + '\0'},
  };
  for (const auto& row : rows) {
    std::string file = MakeIni("cut.ini", row.ini);
    for (DWORD n = 1; n <= row.names.size() + 2; ++n) {
      SCOPED_TRACE(std::string(row.row) + ", nSize " + std::to_string(n));
      ReadOutcome out = GetString(row.section, nullptr, "d", n, file);
      EXPECT_TRUE(WalkStaysInside(out, n));
      if (row.names.size() + 2 <= n) {
        ExpectListReply(out, row.names);
      } else if (n == 1) {
        ExpectStringReply(out, "");
      } else {
        ExpectCutList(out, n, row.names);
      }
    }
  }
}

// A 5-byte buffer and the section [한글]: a cut inside the second character.
TEST_F(ProfileEdgeCases, HangulSectionInFiveBytes) {
  std::string file = MakeIni("han.ini", "[\xC7\xD1\xB1\xDB]\r\nk=v\r\n");
  ReadOutcome out = GetString(nullptr, nullptr, "d", 5, file);
  EXPECT_EQ(3u, out.ret);
  EXPECT_EQ(Escaped("\xC7\xD1\xB1\0\0"s), Escaped(out.buffer.substr(0, 5)));
}

TEST_F(ProfileEdgeCases, LastErrorsOfLookups) {
  std::string file = MakeIni("err.ini", "[S]\r\nk=1\r\nnovalue\r\n[Empty]\r\n");
  struct Row {
    const char* row;
    const char* section;
    const char* key;
    std::string reply;
    DWORD error;
  } rows[] = {
      {"found", "S", "k", "1", ERROR_SUCCESS},
      {"missing key in an existing section", "S", "missing", "dflt", ERROR_FILE_NOT_FOUND},
      {"line without = is no key", "S", "novalue", "dflt", ERROR_FILE_NOT_FOUND},
      {"key in an empty section", "Empty", "k", "dflt", ERROR_FILE_NOT_FOUND},
      {"missing section", "Missing", "k", "dflt", ERROR_FILE_NOT_FOUND},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ReadOutcome out = GetString(row.section, row.key, "dflt", 64, file);
    ExpectStringReply(out, row.reply);
    EXPECT_EQ(row.error, out.error);
  }
  SetLastError(kUntouchedError);
  EXPECT_EQ(7u, GetPrivateProfileIntA("S", "missing", 7, file.c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST_F(ProfileEdgeCases, WriteWithoutSectionFailsWithFileNotFound) {
  std::string file = MakeIni("nosec.ini", "[A]\r\nk=1\r\n");
  for (const char* value : {"v", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(value ? "value" : "NULL value");
    SetLastError(kUntouchedError);
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", value, file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ("[A]\r\nk=1\r\n", ReadIni("nosec.ini"));
  }
}

TEST_F(ProfileEdgeCases, DeletingInAMissingFileCreatesItEmpty) {
  struct Row {
    const char* row;
    const char* key;
  } rows[] = {{"delete a key", "k"}, {"delete a section", nullptr}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    unlink(HostPath("gone.ini").c_str());  // a host path: the layer's remove takes Windows paths
    EXPECT_TRUE(WritePrivateProfileStringA("A", row.key, nullptr, WinPath("gone.ini").c_str()));
    ASSERT_TRUE(winsim::testing::HostExists(HostPath("gone.ini")));
    EXPECT_EQ("", ReadIni("gone.ini"));
  }
  // A missing folder is still an error, and nothing is made.
  SetLastError(kUntouchedError);
  EXPECT_FALSE(WritePrivateProfileStringA("A", "k", nullptr, WinPath("nofolder\\gone.ini").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
  EXPECT_FALSE(winsim::testing::HostExists(HostPath("nofolder")));
}

// Lines the writer does not change come back byte for byte: lines without
// '=' with their blanks, and bytes that are no character of code page 949.
TEST_F(ProfileEdgeCases, UnchangedLinesKeepTheirBytes) {
  struct Row {
    const char* row;
    std::string before;
    std::string after;  // after writing [S] k=new
  } rows[] = {
      {"blank and a UTF-8 mark at the start", " \xEF\xBB\xBF\r\n[S]\r\nhan=\xC7\xD1\r\n",
       " \xEF\xBB\xBF\r\n[S]\r\nhan=\xC7\xD1\r\nk=new\r\n"},
      {"blank, a UTF-8 mark and a key at the start", " \xEF\xBB\xBFkey=v\r\n[S]\r\nhan=\xC7\xD1\r\n",
       " \xEF\xBB\xBFkey=v\r\n[S]\r\nhan=\xC7\xD1\r\nk=new\r\n"},
      {"blank lines before a UTF-8 mark", "\r\n\r\n\xEF\xBB\xBF\r\n[S]\r\nhan=\xC7\xD1\r\n",
       "\r\n\xEF\xBB\xBF\r\n[S]\r\nhan=\xC7\xD1\r\nk=new\r\n"},
      {"lone CRs before a UTF-16 mark and a key", "\r\r\xFF\xFEkey=v\r\n[S]\r\nhan=\xC7\xD1\r\n",
       "\r\n\xFF\xFEkey=v\r\n[S]\r\nhan=\xC7\xD1\r\nk=new\r\n"},
      {"indented key at the start is still trimmed", "  top = 1\r\n[S]\r\n", "top=1\r\n[S]\r\nk=new\r\n"},
      {"indented line without =", "[S]\r\n   indented words  \r\n\ttab\r\n",
       "[S]\r\n   indented words  \r\n\ttab\r\nk=new\r\n"},
      {"bytes outside the code page in values", "[S]\r\nbad=A\x80Z\xFFQ\xC7\r\nk=old\r\n",
       "[S]\r\nbad=A\x80Z\xFFQ\xC7\r\nk=new\r\n"},
      {"lone lead byte before the line end", "[S]\r\nx=\xBF\r\nk=old\r\n", "[S]\r\nx=\xBF\r\nk=new\r\n"},
      {"invalid pair in a line without =", "junk \xC7\x20 \xFE\xFE\r\n[S]\r\n",
       "junk \xC7\x20 \xFE\xFE\r\n[S]\r\nk=new\r\n"},
      {"UTF-8 text in a code-page file", "[S]\r\nu=\xED\x95\x9C\xEA\xB8\x80\r\n",
       "[S]\r\nu=\xED\x95\x9C\xEA\xB8\x80\r\nk=new\r\n"},
      {"lead byte that takes a line end with it", "[S]\r\nx\xBF\rv=1\r\nk=old\r\n",
       "[S]\r\nx\xBF\rv=1\r\nk=new\r\n"},
      {"'[' line without ']' before a UTF-16 mark", "[Root\\\r\n\xFF\xFEk=old\r\n",
       "[Root\\\r\n\xFF\xFEk=old\r\n[S]\r\nk=new\r\n"},
      {"lead byte that takes a blank before '='", "[S]\r\nx\xBF =1\r\nk=old\r\n",
       "[S]\r\nx\xBF =1\r\nk=new\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    std::string file = MakeIni("keep.ini", row.before);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
    EXPECT_EQ(Escaped(row.after), Escaped(ReadIni("keep.ini")));
  }
  // The code-page value of the rows with a mark still reads back after the
  // rewrite.
  for (size_t i : {0u, 2u, 3u}) {
    SCOPED_TRACE(rows[i].row);
    std::string file = MakeIni("keep.ini", rows[i].before);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
    ExpectStringReply(GetString("S", "han", "d", 64, file), "\xC7\xD1");
  }
  // A line end taken by a lead byte joins two lines before the rewrite
  // and after it alike.
  std::string file = MakeIni("keep.ini", "[S]\r\nx\xBF\rv=1\r\n");
  ExpectStringReply(GetString("S", "x?v", "d", 64, file), "1");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "new", file.c_str()));
  ExpectStringReply(GetString("S", "x?v", "d", 64, file), "1");
}

// A wide caller's character that a code-page file cannot hold is written
// as '?', also one of those the rewrite uses to keep stray bytes.
TEST_F(ProfileEdgeCases, WideTextTheCodePageLacksBecomesQuestionMarks) {
  std::string file = MakeIni("wide.ini", "[S]\r\nraw=\x80\xFF\r\n");
  std::u16string wideFile(file.begin(), file.end());
  const char16_t value[] = {u'a', 0xDC80, 0xDCFF, 0x0101, u'b', 0};
  ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", value, wideFile.c_str()));
  EXPECT_EQ(Escaped("[S]\r\nraw=\x80\xFF\r\nk=a???b\r\n"), Escaped(ReadIni("wide.ini")));
}

}  // namespace
}  // namespace profile_test
