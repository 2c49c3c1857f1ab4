// Splitting and quoting of Windows command lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"

using winsim::process::ProgramTokenEnd;
using winsim::process::QuoteArgument;
using winsim::process::SplitArguments;

namespace {

struct SplitRow {
  const char* text;
  std::vector<std::string> args;
};

TEST(CommandLineSplit, FollowsTheWindowsRules) {
  const SplitRow rows[] = {
      {"", {}},
      {"  \t ", {}},
      {"a b c", {"a", "b", "c"}},
      {"  a \t b  ", {"a", "b"}},
      {"\"abc\" d e", {"abc", "d", "e"}},
      {"a\\\\b d\"e f\"g h", {"a\\\\b", "de fg", "h"}},
      {"a\\\\\\\"b c d", {"a\\\"b", "c", "d"}},
      {"a\\\\\\\\\"b c\" d e", {"a\\\\b c", "d", "e"}},
      {"\"\"", {""}},
      {"\"\" \"\"", {"", ""}},
      {"\"a\"\"b\"", {"a\"b"}},
      // A doubled quote inside quotes gives a quote and ends the quoted part.
      {"a\"b\"\" c d", {"ab\"", "c", "d"}},
      {"\"unterminated arg", {"unterminated arg"}},
      {"/s /u \"C:\\Program Files\\x.dll\"", {"/s", "/u", "C:\\Program Files\\x.dll"}},
      {"\xC7\xD1\xB1\xDB \"\xC7\xD1 \xB1\xDB\"", {"\xC7\xD1\xB1\xDB", "\xC7\xD1 \xB1\xDB"}},
      {"trailing\\", {"trailing\\"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(SplitArguments(row.text), row.args);
  }
}

TEST(CommandLineQuote, QuotesOnlyWhatNeedsItAndSplitsBackUnchanged) {
  const struct {
    const char* arg;
    const char* quoted;
  } rows[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"a b", "\"a b\""},
      {"tab\there", "\"tab\there\""},
      {"C:\\dir\\", "C:\\dir\\"},
      {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"q\"", "\"q\\\"\""},
      {"back\\\"slash", "\"back\\\\\\\"slash\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arg);
    EXPECT_EQ(QuoteArgument(row.arg), row.quoted);
    EXPECT_EQ(SplitArguments(QuoteArgument(row.arg)), std::vector<std::string>{row.arg});
  }
}

TEST(CommandLineProgramToken, EndsAtBlankOrClosingQuote) {
  const struct {
    const char* line;
    size_t end;
  } rows[] = {
      {"child.exe a", 9},
      {"child.exe\ta", 9},
      {"\"C:\\a b\\c.exe\" x", 14},
      {"\"C:\\a b\\c.exe\"x", 14},
      {"\"no close", 9},
      {"\"a\\\"b c", 4},  // no escapes inside the program token
      {"", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    EXPECT_EQ(ProgramTokenEnd(row.line), row.end);
  }
}

}  // namespace
