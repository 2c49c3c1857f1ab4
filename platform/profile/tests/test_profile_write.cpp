// Writing: each change rewrites the whole file in normalized form; the
// bytes are compared with what Windows leaves.
#include <unistd.h>

#include <string>
#include <vector>

#include "machine_fixture.h"
#include "profile_test_support.h"

namespace profile_test {
namespace {

using namespace std::string_literals;

class ProfileWrite : public ProfileTest {};

struct WriteRow {
  const char* name;
  std::string before;  // "-" for no file
  const char* section;
  const char* key;
  const char* value;
  std::string after;
};

const char kNoFile[] = "-";

TEST_F(ProfileWrite, RewritesAsWindows) {
  const std::string example =
      "; header comment\r\n[Sec]\r\n  MyKey = old value ; c\r\nOther = x\r\n# hash line\r\nno equals line\r\n\r\n"
      "[Sec2]\r\nz=1\r\n";
  const std::vector<WriteRow> rows = {
      {"new file", kNoFile, "Sec", "Key", "Value", "[Sec]\r\nKey=Value\r\n"},
      {"empty file", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
      {"new key after the section's last line", "[A]\r\na=1\r\n;trailing comment\r\n[B]\r\nb=2\r\n", "A", "n", "v",
       "[A]\r\na=1\r\n;trailing comment\r\nn=v\r\n[B]\r\nb=2\r\n"},
      {"new section at the end", "[A]\r\na=1\r\n", "New", "K", "V", "[A]\r\na=1\r\n[New]\r\nK=V\r\n"},
      {"missing final line end added", "[A]\r\na=1", "New", "K", "V", "[A]\r\na=1\r\n[New]\r\nK=V\r\n"},
      {"section spelling kept", "[Sec2]\r\nz=1\r\n", "SEC2", "y", "2", "[Sec2]\r\nz=1\r\ny=2\r\n"},
      {"measured example", example, "sec", "MYKEY", "new",
       "; header comment\r\n[Sec]\r\nMyKey=new\r\nOther=x\r\n# hash line\r\nno equals line\r\n[Sec2]\r\nz=1\r\n"},
      {"LF file becomes CRLF, blank lines dropped", "\n\n[A]\n\na = 1\n", "A", "b", "2",
       "[A]\r\na=1\r\nb=2\r\n"},
      {"duplicate key: first replaced", "[A]\r\nk=1\r\nk=2\r\n", "A", "k", "new", "[A]\r\nk=new\r\nk=2\r\n"},
      {"duplicate sections: key added to the first", "[D]\r\na=1\r\n[X]\r\n[d]\r\nk=old\r\n", "D", "k", "v",
       "[D]\r\na=1\r\nk=v\r\n[X]\r\n[d]\r\nk=old\r\n"},
      {"NULL value removes the key", "[A]\r\n a = 1 \r\nb=2\r\n", "A", "a", nullptr, "[A]\r\nb=2\r\n"},
      {"NULL key removes the section", "[A]\r\na=1\r\n[B]\r\nb=2\r\n[C]\r\nc=3\r\n", "b", nullptr, nullptr,
       "[A]\r\na=1\r\n[C]\r\nc=3\r\n"},
      {"empty value", "[A]\r\n", "A", "empty", "", "[A]\r\nempty=\r\n"},
      {"value: leading blanks dropped, trailing kept", kNoFile, "A", "pad", "  padded  ",
       "[A]\r\npad=padded  \r\n"},
      {"stored trailing blanks trimmed by the next write", "[A]\r\npad=padded  \r\n", "A", "x", "1",
       "[A]\r\npad=padded\r\nx=1\r\n"},
      {"new names keep trailing blanks", kNoFile, "  Blank Sec  ", "  spaced key  ", "v",
       "[Blank Sec  ]\r\nspaced key  =v\r\n"},
      {"quoted value written with quotes", kNoFile, "A", "q", "\"quoted\"", "[A]\r\nq=\"quoted\"\r\n"},
      {"CR LF inside the value written raw", kNoFile, "A", "k", "one\r\ntwo", "[A]\r\nk=one\r\ntwo\r\n"},
      {"value for a line without =", "[A]\r\nword\r\n", "A", "WORD", "1", "[A]\r\nword=1\r\n"},
      {"lines before the first section kept", "top = 1\r\n;c\r\n[A]\r\n", "A", "k", "v",
       "top=1\r\n;c\r\n[A]\r\nk=v\r\n"},
      {"[ line without ] kept as it stood", "[A]\r\n[Open\r\na=1\r\n", "A", "b", "2", "[A]\r\n[Open\r\na=1\r\nb=2\r\n"},
      {"empty section name kept", "[]\r\nk=1\r\n", "", "k", "2", "[]\r\nk=2\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string file = WinPath("w.ini");
    unlink(HostPath("w.ini").c_str());  // a host path: the layer's remove takes Windows paths
    if (row.before != kNoFile) MakeIni("w.ini", row.before);
    SetLastError(kUntouchedError);
    EXPECT_TRUE(WritePrivateProfileStringA(row.section, row.key, row.value, file.c_str()));
    EXPECT_EQ(Escaped(row.after), Escaped(ReadIni("w.ini")));
  }
}

TEST_F(ProfileWrite, NoChangeLeavesTheFileAlone) {
  const struct {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
  } rows[] = {
      {"same value again", "A", "k", "same"},
      {"same value, other key case", "a", "K", "same"},
      {"remove a missing key", "A", "missing", nullptr},
      {"remove a missing section", "Missing", nullptr, nullptr},
  };
  // Untidy on purpose: any rewrite would normalize it.
  const std::string untidy = "\r\n[A]\r\n  k =   same  \r\n\r\n";
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::string file = MakeIni("same.ini", untidy);
    EXPECT_TRUE(WritePrivateProfileStringA(row.section, row.key, row.value, file.c_str()));
    EXPECT_EQ(Escaped(untidy), Escaped(ReadIni("same.ini")));
  }
  // A missing file is created empty (see test_profile_edge_cases.cpp).
  SetLastError(kUntouchedError);
  EXPECT_TRUE(WritePrivateProfileStringA("A", "k", nullptr, WinPath("never.ini").c_str()));
  EXPECT_EQ("", ReadIni("never.ini"));
}

TEST_F(ProfileWrite, ReadBackAfterWrite) {
  std::string file = WinPath("rb.ini");
  const struct {
    const char* key;
    const char* written;
    std::string readBack;
  } rows[] = {
      {"plain", "value", "value"},
      {"empty", "", ""},
      {"padded", "  padded  ", "padded"},
      {"quoted", "\"quoted\"", "quoted"},
      {"crlf", "first\r\nsecond", "first"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    ASSERT_TRUE(WritePrivateProfileStringA("S", row.key, row.written, file.c_str()));
    ReadOutcome out = GetString("S", row.key, "dflt", 64, file);
    ExpectStringReply(out, row.readBack);
    EXPECT_EQ(0u, out.error);
  }
}

TEST_F(ProfileWrite, FlushAndMissingSection) {
  std::string file = MakeIni("flush.ini", "[A]\r\nk=1\r\n");
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str()));
  EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", file.c_str()));
  EXPECT_EQ("[A]\r\nk=1\r\n", ReadIni("flush.ini"));
}

}  // namespace
}  // namespace profile_test
