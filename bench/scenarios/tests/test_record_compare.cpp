// The comparison of two machine records and the table of Wine's own
// differences.
#include <gtest/gtest.h>

#include "record_compare.h"

namespace {

using winebench::CompareRecords;
using winebench::KnownDifference;
using winebench::ParseKnownDifferences;

const std::string kSim =
    "machine record\n== registry HKLM\\X\nkey HKLM\\X\n  \"A\" REG_SZ 4 bytes: 1<NUL>\n== log L\n| one\n| two\n| three\n";

TEST(CompareRecords, EqualRecordsGiveNothing) {
  EXPECT_EQ("", CompareRecords(kSim, kSim, {}));
  // A Windows console program's CR LF line ends do not count.
  std::string crlf;
  for (char c : kSim) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ("", CompareRecords(kSim, crlf, {}));
}

TEST(CompareRecords, ShowsTheSectionContextAndBothSides) {
  std::string wine = kSim;
  wine.replace(wine.find("4 bytes: 1<NUL>"), 15, "3 bytes: 1 <odd byte>");
  wine.replace(wine.find("| two\n"), 6, "| two <LF only>\n");
  EXPECT_EQ("in == registry HKLM\\X\n"
            "    key HKLM\\X\n"
            "  -   \"A\" REG_SZ 4 bytes: 1<NUL>\n"
            "  +   \"A\" REG_SZ 3 bytes: 1 <odd byte>\n"
            "in == log L\n"
            "    | one\n"
            "  - | two\n"
            "  + | two <LF only>\n",
            CompareRecords(kSim, wine, {}));
}

TEST(CompareRecords, SubtractsExactlyTheKnownLinesOfTheirSide) {
  const std::string wine = "machine record\n== registry HKLM\\X\nkey HKLM\\X\n  \"A\" REG_SZ 4 bytes: 1<NUL>\n"
                           "== log L\n| one\n| wine only\n| three\n";
  const std::vector<KnownDifference> both = {{"sim", "| two", "r"}, {"wine", "| wine only", "r"}};
  EXPECT_EQ("", CompareRecords(kSim, wine, both));
  // The same line known for the other side only does not count.
  const std::vector<KnownDifference> wrongSide = {{"wine", "| two", "r"}, {"wine", "| wine only", "r"}};
  EXPECT_EQ("in == log L\n    | one\n  - | two\n", CompareRecords(kSim, wine, wrongSide));
  // Trailing blanks aside, the line must be the whole line.
  const std::vector<KnownDifference> blanks = {{"sim", "| two  ", "r"}, {"wine", "| wine only", "r"}};
  EXPECT_EQ("", CompareRecords(kSim, wine, blanks));
  // A line that merely contains a known line is not known.
  const std::vector<KnownDifference> partial = {{"sim", "| tw", "r"}, {"wine", "| wine only", "r"}};
  EXPECT_NE("", CompareRecords(kSim, wine, partial));
}

TEST(ParseKnownDifferences, ReadsGroupsWithTheirReasons) {
  std::string error;
  const auto known = ParseKnownDifferences(
      "# the table\n\n# Wine's netsh\n# has no wlan context\nwine> | a\nsim> | b\n\n# another\nwine> | c\n", &error);
  EXPECT_EQ("", error);
  ASSERT_EQ(3u, known.size());
  EXPECT_EQ("wine", known[0].side);
  EXPECT_EQ("| a", known[0].line);
  EXPECT_EQ("Wine's netsh has no wlan context", known[0].reason);
  EXPECT_EQ("sim", known[1].side);
  EXPECT_EQ("another", known[2].reason);
}

TEST(ParseKnownDifferences, RefusesEntriesWithoutAReasonOrSide) {
  for (const char* text : {"wine> | a\n", "# reason\nwine> a\n\nsim> b\n", "# reason\nlinux> a\n"}) {
    std::string error;
    EXPECT_TRUE(ParseKnownDifferences(text, &error).empty()) << text;
    EXPECT_NE("", error) << text;
  }
}

}  // namespace
