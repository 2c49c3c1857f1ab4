// Section and key name lists (NULL section or NULL key) and duplicates.
#include <string>

#include "profile_test_support.h"

namespace profile_test {
namespace {

using namespace std::string_literals;

class ProfileLists : public ProfileTest {};

const char kLists[] =
    "top=before any section\r\n"
    "[D]\r\n"
    "a=1\r\n"
    "; comment=1\r\n"
    "#hash=3\r\n"
    "NoEquals\r\n"
    "b=\r\n"
    "a=again\r\n"
    "[D2]\r\n"
    "first=1\r\n"
    "[Other]\r\n"
    "long=1\r\n"
    "example=2\r\n"
    "[D2]\r\n"
    "first=shadowed\r\n"
    "onlylater=2\r\n"
    "[d2]\r\n"
    "[Empty]\r\n"
    "[OnlyComments]\r\n"
    ";x=1\r\n"
    "word\r\n";

TEST_F(ProfileLists, NameListsInFileOrder) {
  std::string file = MakeIni("lists.ini", kLists);
  const struct {
    const char* name;
    const char* section;
    const char* dflt;
    std::string expected;
  } rows[] = {
      {"section names with duplicates", nullptr, "dflt", "D\0D2\0Other\0D2\0d2\0Empty\0OnlyComments\0"s},
      {"keys: comments and lines without = left out", "D", "dflt", "a\0#hash\0b\0a\0"s},
      {"keys of the first duplicate section", "d2", "dflt", "first\0"s},
      {"keys of another section", "Other", "dflt", "long\0example\0"s},
      {"empty section", "Empty", "dflt", ""s},
      {"section of comments only", "OnlyComments", "dflt", ""s},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ReadOutcome out = GetString(row.section, nullptr, row.dflt, 1024, file);
    ExpectListReply(out, row.expected);
    EXPECT_EQ(0u, out.error);
  }
}

TEST_F(ProfileLists, MissingSectionOrFile) {
  std::string file = MakeIni("lists.ini", kLists);
  ReadOutcome missingSection = GetString("Nowhere", nullptr, "dflt", 1024, file);
  ExpectStringReply(missingSection, "dflt");
  EXPECT_EQ(0u, missingSection.error);

  ReadOutcome missingFile = GetString("D", nullptr, "dflt", 1024, WinPath("nofile.ini"));
  ExpectListReply(missingFile, "");
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), missingFile.error);

  ReadOutcome noSections = GetString(nullptr, nullptr, "dflt", 1024, WinPath("nofile.ini"));
  ExpectListReply(noSections, "");
}

TEST_F(ProfileLists, FirstDuplicateWins) {
  std::string file = MakeIni("lists.ini", kLists);
  ExpectStringReply(GetString("D", "a", "d", 64, file), "1");
  ExpectStringReply(GetString("D2", "first", "d", 64, file), "1");
  ExpectStringReply(GetString("D2", "onlylater", "d", 64, file), "d");
  ExpectStringReply(GetString("D", "NoEquals", "d", 64, file), "d");
}

TEST_F(ProfileLists, KeyListCutShort) {
  std::string file = MakeIni("lists.ini", kLists);
  ReadOutcome out = GetString("Other", nullptr, "d", 10, file);
  EXPECT_EQ(8u, out.ret);
  // The cut list still ends with two NULs.
  EXPECT_EQ(Escaped("long\0exa\0\0"s), Escaped(out.buffer.substr(0, 10)));
  EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[10]));
}

// Every buffer size: a list that fits with a character to spare comes back
// whole; otherwise it is cut to nSize-2 bytes plus two NULs.
TEST_F(ProfileLists, EverySizeAroundAList) {
  std::string file = MakeIni("lists.ini", kLists);
  const std::string full = "D\0D2\0Other\0D2\0d2\0Empty\0OnlyComments\0"s;
  for (DWORD n = 1; n <= full.size() + 3; ++n) {
    SCOPED_TRACE("nSize " + std::to_string(n));
    ReadOutcome out = GetString(nullptr, nullptr, "d", n, file);
    if (full.size() + 2 <= n) {
      ExpectListReply(out, full);
    } else if (n == 1) {
      ExpectStringReply(out, "");
    } else {
      EXPECT_EQ(n - 2, out.ret);
      EXPECT_EQ(Escaped(full.substr(0, n - 2) + "\0\0"s), Escaped(out.buffer.substr(0, n)));
      EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[n]));
    }
  }
}

TEST_F(ProfileLists, DoubleByteNamesInACutList) {
  const std::string han = "\xC7\xD1\xB1\xDB";
  std::string file = MakeIni("dbcs.ini", "[" + han + "]\r\n[" + han + han + "]\r\n");
  ExpectListReply(GetString(nullptr, nullptr, "d", 64, file), han + '\0' + han + han + '\0');
  // nSize 8: the list is cut on its code-page bytes to 6 (han, gul, NUL and
  // the lead byte of the next han), then two NULs end it.
  ReadOutcome cut = GetString(nullptr, nullptr, "d", 8, file);
  EXPECT_EQ(6u, cut.ret);
  EXPECT_EQ(Escaped(han + '\0' + "\xC7" + "\0\0"s), Escaped(cut.buffer.substr(0, 8)));
  EXPECT_EQ(kSentinel, static_cast<unsigned char>(cut.buffer[8]));
}

}  // namespace
}  // namespace profile_test
