// The default code page's tables come from answers taken when the layer was
// built; they must be the tables the C library's converter gives now.
#include <gtest/gtest.h>

#include "codepage_build.h"

namespace {

TEST(CodePageTables, BuiltInAnswersGiveTheLibraryTables) {
  winsim::ByteDecoder builtIn = winsim::BuiltInDecoder(949);
  ASSERT_TRUE(builtIn);
  std::unique_ptr<winsim::CodePageTable> fromLibrary;
  ASSERT_TRUE(winsim::WithLibraryDecoder(
      949, [&](const winsim::ByteDecoder& decode) { fromLibrary = winsim::BuildTable(949, decode); }));
  std::unique_ptr<winsim::CodePageTable> fromBuild = winsim::BuildTable(949, builtIn);
  ASSERT_TRUE(fromLibrary && fromBuild);
  EXPECT_TRUE(fromBuild->dbcs);
  EXPECT_EQ(fromLibrary->dbcs, fromBuild->dbcs);
  EXPECT_EQ(fromLibrary->single, fromBuild->single);
  EXPECT_EQ(fromLibrary->lead, fromBuild->lead);
  EXPECT_TRUE(fromLibrary->pairs == fromBuild->pairs);
  EXPECT_TRUE(fromLibrary->encode == fromBuild->encode);
  // Spot checks, so that two equally wrong tables do not pass.
  EXPECT_EQ(u'A', fromBuild->single['A']);
  EXPECT_TRUE(fromBuild->lead[0xC7]);
  EXPECT_EQ(0xD55C, fromBuild->pairs[0xC7 * 256 + 0xD1]);  // "한"
  EXPECT_EQ(0xC7D1, fromBuild->encode[0xD55C]);
  EXPECT_EQ(0xF8F7, fromBuild->single[0xFF]);
}

TEST(CodePageTables, NoBuiltInAnswersForOtherCodePages) {
  EXPECT_FALSE(winsim::BuiltInDecoder(1252));
  EXPECT_FALSE(winsim::BuiltInDecoder(932));
  EXPECT_FALSE(winsim::WithLibraryDecoder(12345, [](const winsim::ByteDecoder&) {}));
}

}  // namespace
