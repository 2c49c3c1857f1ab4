// The default code page's tables are built with the layer; they must be the
// tables the C library's converter gives now.
#include <gtest/gtest.h>

#include "codepage_build.h"

namespace {

TEST(CodePageTables, BuiltInTablesAreTheLibraryTables) {
  const winsim::CodePageTable* builtIn = winsim::BuiltInTable(949);
  ASSERT_NE(nullptr, builtIn);
  std::unique_ptr<winsim::CodePageTable> fromLibrary;
  ASSERT_TRUE(winsim::WithLibraryDecoder(
      949, [&](const winsim::ByteDecoder& decode) { fromLibrary = winsim::BuildTable(949, decode); }));
  ASSERT_TRUE(fromLibrary);
  ASSERT_TRUE(builtIn->dbcs);
  EXPECT_EQ(fromLibrary->dbcs, builtIn->dbcs);
  EXPECT_EQ(fromLibrary->single, builtIn->single);
  EXPECT_EQ(fromLibrary->lead, builtIn->lead);
  ASSERT_NE(nullptr, builtIn->pairs);
  ASSERT_NE(nullptr, builtIn->encode);
  int pairDifferences = 0;
  int encodeDifferences = 0;
  for (unsigned i = 0; i < 65536; ++i) {
    pairDifferences += fromLibrary->pairs[i] != builtIn->pairs[i];
    encodeDifferences += fromLibrary->encode[i] != builtIn->encode[i];
  }
  EXPECT_EQ(0, pairDifferences);
  EXPECT_EQ(0, encodeDifferences);
  // Spot checks, so that two equally wrong tables do not pass.
  EXPECT_EQ(u'A', builtIn->single['A']);
  EXPECT_TRUE(builtIn->lead[0xC7]);
  EXPECT_EQ(0xD55C, builtIn->pairs[0xC7 * 256 + 0xD1]);  // "한"
  EXPECT_EQ(0xC7D1, builtIn->encode[0xD55C]);
  EXPECT_EQ(0xF8F7, builtIn->single[0xFF]);
  EXPECT_EQ(0xFF, builtIn->encode[0xF8F7]);
  EXPECT_EQ(0xFFFF, builtIn->encode[0x0E01]);  // a Thai letter: not in the code page
}

TEST(CodePageTables, NoBuiltInTablesForOtherCodePages) {
  EXPECT_EQ(nullptr, winsim::BuiltInTable(1252));
  EXPECT_EQ(nullptr, winsim::BuiltInTable(932));
  EXPECT_FALSE(winsim::WithLibraryDecoder(12345, [](const winsim::ByteDecoder&) {}));
}

TEST(CodePageTables, SingleByteTablesHaveNoPairs) {
  std::unique_ptr<winsim::CodePageTable> latin;
  ASSERT_TRUE(winsim::WithLibraryDecoder(
      1252, [&](const winsim::ByteDecoder& decode) { latin = winsim::BuildTable(1252, decode); }));
  ASSERT_TRUE(latin);
  EXPECT_FALSE(latin->dbcs);
  EXPECT_EQ(nullptr, latin->pairs);
  ASSERT_NE(nullptr, latin->encode);
  EXPECT_EQ(0x80, latin->encode[0x20AC]);  // the euro sign
  EXPECT_EQ(0x20AC, latin->single[0x80]);
}

}  // namespace
