// Reading values: names, trimming, quotes, defaults, comments, odd lines,
// line ends and error codes.
#include <vector>

#include "machine_fixture.h"
#include "profile_test_support.h"
#include "winsim/machine.h"

namespace profile_test {
namespace {

const char kSample[] =
    "[Setup]\r\n"
    "KeyName=Value1\r\n"
    "  [  Spaced Sec  ]  \r\n"
    "   key1   =   value one   \r\n"
    "key2\t=\tvalue two\t\r\n"
    "key 3 = v3\r\n"
    "[Tail] trailing text\r\n"
    "t=1\r\n"
    "[Open\r\n"
    "o=1\r\n"
    "[Quotes]\r\n"
    "dq=\"double quoted\"\r\n"
    "sq='single quoted'\r\n"
    "sp=\"  spaced inside  \"\r\n"
    "outer=   \"x\"   \r\n"
    "dd=\"\"x\"\"\r\n"
    "pair=\"\"\r\n"
    "lone=\"\r\n"
    "uo=\"unmatched open\r\n"
    "uc=unmatched close\"\r\n"
    "mix=\"dq then sq'\r\n"
    "mid1=a \"b\" c\r\n"
    "mid2=\"a\" b\r\n"
    "empty=\r\n"
    "blanks=    \r\n"
    "[Comments]\r\n"
    "; comment=1\r\n"
    ";semi=2\r\n"
    "   ;indented=4\r\n"
    "#hash=3\r\n"
    "k1=val ; trailing comment\r\n"
    "k2=val # hash\r\n"
    "JustAWord\r\n"
    "after=ok\r\n"
    "url=http://x/?a=b&c=d\r\n"
    "eq==v\r\n"
    "=novalkey\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "mid=a\rb=c\r\n"
    "[EmptySec]\r\n";

struct ReadRow {
  const char* name;
  const char* section;
  const char* key;
  const char* dflt;
  const char* expected;
  DWORD error = ERROR_SUCCESS;  // ERROR_FILE_NOT_FOUND where the default comes back for want of the key
};

class ProfileRead : public ProfileTest {};

TEST_F(ProfileRead, ValuesAsWindowsReadsThem) {
  const std::string file = MakeIni("read.ini", kSample);
  const std::vector<ReadRow> rows = {
      {"exact names", "Setup", "KeyName", "d", "Value1"},
      {"upper-case names", "SETUP", "KEYNAME", "d", "Value1"},
      {"lower-case names", "setup", "keyname", "d", "Value1"},
      {"section trimmed inside brackets", "Spaced Sec", "key1", "d", "value one"},
      {"query section trimmed", "  Spaced Sec  ", "key1", "d", "value one"},
      {"query key trimmed", "Spaced Sec", "  key1  ", "d", "value one"},
      {"tabs trimmed", "Spaced Sec", "key2", "d", "value two"},
      {"inner blank kept in key", "Spaced Sec", "key 3", "d", "v3"},
      {"inner blank needed", "Spaced Sec", "key3", "d", "d", ERROR_FILE_NOT_FOUND},
      {"text after ] ignored", "Tail", "t", "d", "1"},
      {"[ without ] stays in previous section", "Tail", "o", "d", "1"},
      {"[ without ] is no section", "Open", "o", "d", "d", ERROR_FILE_NOT_FOUND},
      {"double quotes stripped", "Quotes", "dq", "d", "double quoted"},
      {"single quotes stripped", "Quotes", "sq", "d", "single quoted"},
      {"blanks inside quotes kept", "Quotes", "sp", "d", "  spaced inside  "},
      {"blanks trimmed then quotes", "Quotes", "outer", "d", "x"},
      {"only outer pair", "Quotes", "dd", "d", "\"x\""},
      {"empty quotes", "Quotes", "pair", "d", ""},
      {"lone quote", "Quotes", "lone", "d", "\""},
      {"unmatched open", "Quotes", "uo", "d", "\"unmatched open"},
      {"unmatched close", "Quotes", "uc", "d", "unmatched close\""},
      {"different quotes", "Quotes", "mix", "d", "\"dq then sq'"},
      {"quotes in the middle", "Quotes", "mid1", "d", "a \"b\" c"},
      {"quote pair not at the end", "Quotes", "mid2", "d", "\"a\" b"},
      {"empty value beats default", "Quotes", "empty", "dflt", ""},
      {"blank value beats default", "Quotes", "blanks", "dflt", ""},
      {"missing key", "Setup", "nokey", "dflt", "dflt", ERROR_FILE_NOT_FOUND},
      {"missing section", "NoSuchSection", "KeyName", "dflt", "dflt", ERROR_FILE_NOT_FOUND},
      {"key in an empty section", "EmptySec", "x", "dflt", "dflt", ERROR_FILE_NOT_FOUND},
      {"empty default", "Setup", "nokey", "", "", ERROR_FILE_NOT_FOUND},
      {"NULL default", "Setup", "nokey", nullptr, "", ERROR_FILE_NOT_FOUND},
      {"trailing blanks of default removed", "Setup", "nokey", "dflt   ", "dflt", ERROR_FILE_NOT_FOUND},
      {"leading blanks of default kept", "Setup", "nokey", "   dflt", "   dflt", ERROR_FILE_NOT_FOUND},
      {"comment with blank readable", "Comments", "; comment", "d", "1"},
      {"comment readable", "Comments", ";semi", "d", "2"},
      {"indented comment readable", "Comments", ";indented", "d", "4"},
      {"hash line is a key", "Comments", "#hash", "d", "3"},
      {"; inside value kept", "Comments", "k1", "d", "val ; trailing comment"},
      {"# inside value kept", "Comments", "k2", "d", "val # hash"},
      {"line without =", "Comments", "JustAWord", "d", "d", ERROR_FILE_NOT_FOUND},
      {"key after line without =", "Comments", "after", "d", "ok"},
      {"split at first =", "Comments", "url", "d", "http://x/?a=b&c=d"},
      {"double =", "Comments", "eq", "d", "=v"},
      {"empty key name", "Comments", "", "d", "novalkey"},
      {"first duplicate key wins", "Comments", "dup", "d", "first"},
      {"lone CR ends the line", "Comments", "mid", "d", "a"},
      {"text after lone CR is a line", "Comments", "b", "d", "c"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ReadOutcome out = GetString(row.section, row.key, row.dflt, 1024, file);
    ExpectStringReply(out, row.expected);
    EXPECT_EQ(row.error, out.error);
  }
}

TEST_F(ProfileRead, LineEndsAllReadAlike) {
  const struct {
    const char* name;
    const char* content;
  } files[] = {
      {"crlf", "[S]\r\na=1\r\nb=2\r\n"},
      {"lf", "[S]\na=1\nb=2\n"},
      {"cr", "[S]\ra=1\rb=2\r"},
      {"no final end", "[S]\r\na=1\r\nb=2"},
      {"blank lines and ^Z", "\r\n\r\n[S]\r\n\r\na=1\x1A\r\n\r\nb=2\r\n\x1A"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    std::string file = MakeIni("ends.ini", f.content);
    ExpectStringReply(GetString("S", "a", "d", 64, file), "1");
    ExpectStringReply(GetString("S", "b", "d", 64, file), "2");
    ExpectListReply(GetString("S", nullptr, "d", 64, file), std::string("a\0b\0", 4));
  }
}

TEST_F(ProfileRead, MissingFileAndFolderGiveDefaultWithError) {
  ReadOutcome missingFile = GetString("S", "k", "dflt", 64, WinPath("nofile.ini"));
  ExpectStringReply(missingFile, "dflt");
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), missingFile.error);

  ReadOutcome missingFolder = GetString("S", "k", "dflt", 64, WinPath("nodir\\x.ini"));
  ExpectStringReply(missingFolder, "dflt");
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), missingFolder.error);
}

TEST_F(ProfileRead, EveryCallReadsTheFileAgain) {
  std::string file = MakeIni("fresh.ini", "[S]\r\nk=old\r\n");
  ExpectStringReply(GetString("S", "k", "d", 64, file), "old");
  MakeIni("fresh.ini", "[S]\r\nk=new value\r\n");
  ExpectStringReply(GetString("S", "k", "d", 64, file), "new value");
}

TEST_F(ProfileRead, NamesWithoutFolderAreInTheWindowsFolder) {
  winsim::testing::WriteHostFile(winsim::DriveCRoot() + "/Windows/rel.ini", "[S]\r\nk=windir\r\n");
  MakeIni("rel.ini", "[S]\r\nk=curdir\r\n");
  ASSERT_TRUE(SetCurrentDirectoryA(WinPath("").c_str()));
  ExpectStringReply(GetString("S", "k", "d", 64, "rel.ini"), "windir");
  ExpectStringReply(GetString("S", "k", "d", 64, ".\\rel.ini"), "curdir");
  ExpectStringReply(GetString("S", "k", "d", 64, "C:\\WINDOWS\\REL.INI"), "windir");
}

TEST_F(ProfileRead, IntegersFollowTheKernelConversion) {
  std::string file = MakeIni("int.ini",
                             "[I]\r\nplain=42\r\nneg=-1\r\nplus=+7\r\nwrap=4294967297\r\nnegwrap=-4294967297\r\n"
                             "tail=42A94967297\r\nletters=B42\r\nempty=\r\nquoted=\"17\"\r\nblank=  9  \r\n");
  const struct {
    const char* key;
    INT dflt;
    UINT expected;
  } rows[] = {
      {"plain", 5, 42u},          {"neg", 5, 4294967295u},   {"plus", 5, 7u},
      {"wrap", 5, 1u},            {"negwrap", 5, 4294967295u}, {"tail", 5, 42u},
      {"letters", 5, 0u},         {"empty", 5, 5u},          {"missing", -1, 4294967295u},
      {"quoted", 5, 17u},         {"blank", 5, 9u},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(row.expected, GetPrivateProfileIntA("I", row.key, row.dflt, file.c_str()));
  }
  EXPECT_EQ(3u, GetPrivateProfileIntA("I", "plain", 3, WinPath("nofile.ini").c_str()));
}

}  // namespace
}  // namespace profile_test
