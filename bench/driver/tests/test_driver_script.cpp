// The driver's script reader: every step with a good argument, and each
// kind of bad line refused with its line number before anything runs.
#include <gtest/gtest.h>

#include "driver_script.h"

namespace driver {
namespace {

TEST(DriverScript, ReadsEveryStep) {
  struct {
    const char* line;
    Verb verb;
    int number;
    const char* path;
  } rows[] = {
      {"wait 12324", Verb::Wait, 12324, ""},
      {"click 1034", Verb::Click, 1034, ""},
      {"command 2", Verb::Command, 2, ""},
      {"answer IDYES", Verb::Answer, 6, ""},
      {"answer IDNO", Verb::Answer, 7, ""},
      {"answer IDOK", Verb::Answer, 1, ""},
      {"answer 12", Verb::Answer, 12, ""},
      {"state", Verb::State, 0, ""},
      {"dump", Verb::Dump, 0, ""},
      {"shot Z:\\tmp\\a b.png", Verb::Shot, 0, "Z:\\tmp\\a b.png"},
      {"sleep 1500", Verb::Sleep, 1500, ""},
      {"timeout 90", Verb::Timeout, 90, ""},
      {"gone", Verb::Gone, 0, ""},
      {"  click\t12325  \r", Verb::Click, 12325, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const Script script = ParseScript({row.line});
    ASSERT_EQ("", script.error);
    ASSERT_EQ(1u, script.steps.size());
    EXPECT_EQ(row.verb, script.steps[0].verb);
    EXPECT_EQ(row.number, script.steps[0].number);
    EXPECT_EQ(row.path, script.steps[0].path);
  }
}

TEST(DriverScript, SkipsBlankAndCommentLines) {
  const Script script = ParseScript(SplitLines("# install\r\n\r\nwait 12324\n   \n#click 2\nstate"));
  ASSERT_EQ("", script.error);
  ASSERT_EQ(2u, script.steps.size());
  EXPECT_EQ("wait 12324", script.steps[0].line);
  EXPECT_EQ(Verb::State, script.steps[1].verb);
}

TEST(DriverScript, RefusesBadLinesNamingThem) {
  struct {
    const char* line;
    const char* error;
  } rows[] = {
      {"clik 2", "line 2 'clik 2': 'clik' is not a step"},
      {"click", "line 2 'click': click needs a control id (0..65535)"},
      {"click next", "line 2 'click next': click needs a control id (0..65535)"},
      {"wait 70000", "line 2 'wait 70000': wait needs a control id (0..65535)"},
      {"wait -1", "line 2 'wait -1': wait needs a control id (0..65535)"},
      {"answer YES", "line 2 'answer YES': answer needs a button: IDOK, IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, "
                     "IDIGNORE or an id"},
      {"state now", "line 2 'state now': state takes no argument"},
      {"shot", "line 2 'shot': shot needs a file name"},
      {"sleep 1s", "line 2 'sleep 1s': sleep needs milliseconds (0..600000)"},
      {"timeout 0", "line 2 'timeout 0': timeout needs seconds (1..3600)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.line);
    const Script script = ParseScript({"state", row.line, "state"});
    EXPECT_EQ(row.error, script.error);
    EXPECT_TRUE(script.steps.empty());
  }
}

TEST(DriverScript, SplitLinesKeepsEmptyLinesAndDropsCarriageReturns) {
  EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), SplitLines("a\r\n\r\nb\r\n"));
  EXPECT_EQ((std::vector<std::string>{"a"}), SplitLines("a"));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(DriverScript, ButtonNamesBothWays) {
  for (const char* name : {"IDOK", "IDCANCEL", "IDABORT", "IDRETRY", "IDIGNORE", "IDYES", "IDNO"}) {
    EXPECT_EQ(name, ButtonName(ButtonId(name)));
  }
  EXPECT_EQ(-1, ButtonId("IDMAYBE"));
  EXPECT_EQ("12", ButtonName(12));
}

}  // namespace
}  // namespace driver
