// The scripted user and the desktop journal, seen from outside: the probe
// program runs as a child process of the test machine.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QImage>

#include "desktop_test_support.h"
#include "machine_fixture.h"
#include "winsim/machine.h"

using namespace desktop_test;

namespace {

class ScriptedUser : public ::testing::Test {
 protected:
  void SetUp() override { ClearEvents(); }
};

TEST_F(ScriptedUser, AnswersAMessageBoxAndJournalsIt) {
  ProbeRun run = RunProbe("msgbox", "# the user says no\n\nanswer IDNO\n");
  EXPECT_EQ(run.exitCode, IDNO) << run.err;
  auto events = ReadEvents();
  auto shows = EventsNamed(events, "show");
  auto closes = EventsNamed(events, "close");
  auto steps = EventsNamed(events, "step");
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_EQ(shows[0].value("caption").toString(), "Probe");
  EXPECT_EQ(shows[0].value("text").toString(), "Question?");
  EXPECT_EQ(shows[0].value("style").toInt(), MB_YESNO | MB_ICONQUESTION);
  EXPECT_TRUE(shows[0].contains("time"));
  EXPECT_TRUE(shows[0].contains("pid"));
  ASSERT_EQ(closes.size(), 1u);
  EXPECT_EQ(closes[0].value("result").toString(), "IDNO");
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].value("text").toString(), "answer IDNO");
}

// On a full disk (events.log leads to /dev/full) every record that cannot
// be written is reported on standard error, each once and whole, and the
// program goes on with the user's answer.
TEST_F(ScriptedUser, ARecordTheJournalCannotTakeIsReportedOnce) {
  const std::string journal = winsim::DesktopDir() + "/events.log";
  ASSERT_EQ(0, symlink("/dev/full", journal.c_str()));
  ProbeRun run = RunProbe("msgbox", "answer IDYES\n");
  unlink(journal.c_str());
  EXPECT_EQ(run.exitCode, IDYES) << run.err;
  std::vector<std::string> lines;
  for (size_t start = 0; start < run.err.size();) {
    size_t end = run.err.find('\n', start);
    if (end == std::string::npos) end = run.err.size();
    lines.push_back(run.err.substr(start, end - start));
    start = end + 1;
  }
  const std::vector<std::string> events = {"\"event\":\"show\"", "\"event\":\"step\"", "\"event\":\"close\""};
  for (const auto& event : events) {
    int reported = 0;
    for (const auto& line : lines) {
      if (line.find(event) == std::string::npos) continue;
      ++reported;
      EXPECT_NE(line.find("events.log: record not written (No space left on device): {"), std::string::npos) << line;
      EXPECT_EQ('}', line.back()) << line;
    }
    EXPECT_EQ(1, reported) << event << " in:\n" << run.err;
  }
}

TEST_F(ScriptedUser, AnExhaustedScriptEndsAWaitingMessageBox) {
  ProbeRun run = RunProbe("msgbox", "# nothing to do\n");
  EXPECT_EQ(run.exitCode, 99);
  EXPECT_LT(run.seconds, 60.0);
  EXPECT_NE(run.err.find("script of the scripted user is exhausted"), std::string::npos) << run.err;
  auto errors = EventsNamed(ReadEvents(), "error");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].value("text").toString().indexOf("message box"), -1);
}

TEST_F(ScriptedUser, AnIdleDialogAfterTheScriptEndsTheProcess) {
  ProbeRun run = RunProbe("dialog", "sleep 10\n");
  EXPECT_EQ(run.exitCode, 99);
  EXPECT_GE(run.seconds, 10.0);
  EXPECT_LT(run.seconds, 60.0);
  EXPECT_NE(run.err.find("dialog waits for the user"), std::string::npos) << run.err;
}

TEST_F(ScriptedUser, ClicksAndKeysReachTheActiveDialog) {
  const struct {
    const char* script;
    int exitCode;
  } rows[] = {
      {"click 2\n", IDCANCEL},
      {"click 1\n", IDOK},
      {"key Enter\n", IDOK},
      {"key Escape\n", IDCANCEL},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.script);
    ClearEvents();
    ProbeRun run = RunProbe("dialog", row.script);
    EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
    auto closes = EventsNamed(ReadEvents(), "close");
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].value("template").toInt(), 9001);
    EXPECT_EQ(closes[0].value("result").toString(), row.exitCode == IDOK ? "IDOK" : "IDCANCEL");
  }
}

TEST_F(ScriptedUser, OneUserForTheWholeMachine) {
  // Two processes take their steps from one script, in its order.
  std::string script = winsim::testing::TempHostDir() + "/user.txt";
  winsim::testing::WriteHostFile(script, "answer IDYES\nanswer IDNO\n");
  EXPECT_EQ(RunProbeWithScriptFile("msgbox", script).exitCode, IDYES);
  EXPECT_EQ(RunProbeWithScriptFile("msgbox", script).exitCode, IDNO);
  EXPECT_EQ(RunProbeWithScriptFile("msgbox", script).exitCode, 99);
}

TEST_F(ScriptedUser, AWorkerThreadsBoxIsAnsweredWhileTheWindowRuns) {
  ProbeRun run = RunProbe("worker-msgbox", "sleep 300\nanswer IDYES\n");
  EXPECT_EQ(run.exitCode, IDYES) << run.err;
  int ticks = 0;
  ASSERT_EQ(std::sscanf(run.out.c_str(), "ticks-while-waiting=%d", &ticks), 1) << run.out;
  EXPECT_GT(ticks, 5) << "the user-interface thread was blocked while the worker waited";
}

TEST_F(ScriptedUser, ShotSavesTheActiveWindow) {
  std::string png = winsim::testing::TempHostDir() + "/probe.png";
  // A wait for a static control: any visible, enabled control ends a wait.
  ProbeRun run = RunProbe("dialog", "wait 100\nshot " + png + "\nclick 1\n");
  EXPECT_EQ(run.exitCode, IDOK) << run.err;
  QImage image(QString::fromStdString(png));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 300);   // 200 dialog units of "MS Shell Dlg" 8 at 96 dpi
  EXPECT_EQ(image.height(), 163);  // 100 units
  // The picture describes the window's controls, one line each, with where
  // each lies in the picture: dialog units of 6 x 13 base units.
  const std::string controls = image.text("Controls").toStdString();
  EXPECT_NE(std::string::npos, controls.find("static id=100 visible=1 enabled=1 rect=11,11,225,33 text=Probe text\n"))
      << controls;
  EXPECT_NE(std::string::npos, controls.find("button id=1 visible=1 enabled=1 rect=60,114,75,23 text=OK\n")) << controls;
  EXPECT_NE(std::string::npos, controls.find("button id=2 visible=1 enabled=1 rect=165,114,75,23 text=Cancel\n"))
      << controls;
}

TEST_F(ScriptedUser, AHiddenProcessShowsNothing) {
  ProbeRun run = RunProbe("msgbox", "answer IDNO\n", /*hidden=*/true);
  EXPECT_EQ(run.exitCode, IDYES) << "the default button of a box nobody can see";
  EXPECT_TRUE(EventsNamed(ReadEvents(), "show").empty());
}

TEST(Application, FailedInitInstanceEndsAfterExitInstance) {
  ProbeRun run = RunProbe("initfalse", "");
  EXPECT_EQ(run.exitCode, 42);
  EXPECT_EQ(run.out, "exit-instance\n");
}

}  // namespace
