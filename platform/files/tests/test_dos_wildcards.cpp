// The FindFirstFile pattern rules, one row per rule.
#include <gtest/gtest.h>

#include <vector>

#include "dos_wildcards.h"

namespace {

TEST(DosWildcards, Rows) {
  struct Row {
    const char16_t* pattern;
    const char16_t* name;
    bool matches;
  };
  const std::vector<Row> rows = {
      {u"*.*", u"noext", true},
      {u"*.*", u"a.b.c", true},
      {u"*", u"a.txt", true},
      {u"*.txt", u"A.TXT", true},
      {u"*.txt", u"a.b.txt", true},
      {u"*.txt", u"a.txtx", false},
      {u"*.txt", u"txt", false},
      {u"a*.*", u"abc", true},
      {u"a*.*", u"abc.def", true},
      {u"a*.*", u"bac", false},
      {u"?.txt", u"a.txt", true},
      {u"?.txt", u"ab.txt", false},
      {u"a?.txt", u"a.txt", true},  // '?' before a dot may match nothing
      {u"a??", u"a", true},         // ... as at the end of the name
      {u"a??", u"abcd", false},
      {u"a?b", u"a.b", false},
      {u"name.*", u"name", true},
      {u"name.*", u"name.ext", true},
      {u"name.", u"name", true},
      {u"name.", u"name.ext", false},
      {u"*.", u"noext", true},
      {u"*.", u"has.ext", false},
      {u"\uD55C*", u"\uD55C\uAE00.txt", true},
      {u"LONG*", u"long name.txt", true},
      {u"x*y", u"x.y", true},
      {u"", u"a", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << (&row - rows.data()));
    EXPECT_EQ(row.matches, winsim::files::MatchesPattern(row.pattern, row.name));
  }
  EXPECT_TRUE(winsim::files::HasWildcards(u"a?"));
  EXPECT_TRUE(winsim::files::HasWildcards(u"*"));
  EXPECT_FALSE(winsim::files::HasWildcards(u"plain.txt"));
}

}  // namespace
