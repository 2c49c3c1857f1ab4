// CreateProcessA: which program runs, what the child sees, the journal.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <cstring>
#include <filesystem>
#include <regex>
#include <string>

#include "machine_fixture.h"
#include "process_test_support.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

using namespace proctest;

namespace {

class CreateProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallChild("C:\\probe\\proc\\child.exe");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\probe"));
  }
  ReportFile report_;
};

struct ProgramRow {
  const char* name;
  std::string line;
  DWORD error;            // 0 = starts
  const char* module;     // expected image (compared case-insensitively)
  std::string childLine;  // what the child's GetCommandLineA returns
};

TEST_F(CreateProcessTest, ChoosesTheProgramAsWindowsDoes) {
  WriteMachineFile("C:\\probe\\proc\\text.exe", "just text\r\n");
  InstallChild("C:\\probe\\proc\\noext");
  InstallChild("C:\\probe\\proc\\sub dir\\child two.exe");
  std::filesystem::create_directories(HostOf("C:\\probe\\proc\\folder.exe"));
  const std::string korean = "\xC7\xD1\xB1\xDB";
  const ProgramRow rows[] = {
      {"missing full path", "C:\\probe\\proc\\missing.exe a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"missing bare name", "missingprog a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"missing quoted", "\"C:\\probe\\proc\\missing.exe\" a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"missing folder", "C:\\probe\\nofolder\\child.exe a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"a folder", "C:\\probe\\proc", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"a folder named .exe", "C:\\probe\\proc\\folder.exe", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"empty line", "", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"text file named .exe", "C:\\probe\\proc\\text.exe a", ERROR_BAD_EXE_FORMAT, nullptr, ""},
      {"blank before name", " C:\\probe\\proc\\child.exe a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"blank before quoted name", " \"C:\\probe\\proc\\child.exe\" a", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"tab before name", "\tC:\\probe\\proc\\child.exe", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {"trailing period", "C:\\probe\\proc\\child. arg1", ERROR_FILE_NOT_FOUND, nullptr, ""},
      {".exe appended to a path", "C:\\probe\\proc\\child arg1", 0, "C:\\probe\\proc\\child.exe",
       "C:\\probe\\proc\\child arg1"},
      {"other case", "C:\\PROBE\\PROC\\CHILD.EXE arg1", 0, "C:\\probe\\proc\\child.exe",
       "C:\\PROBE\\PROC\\CHILD.EXE arg1"},
      {"file without extension", "C:\\probe\\proc\\noext arg1", 0, "C:\\probe\\proc\\noext",
       "C:\\probe\\proc\\noext arg1"},
      {"relative to the current folder", "proc\\child x", 0, "C:\\probe\\proc\\child.exe", "proc\\child x"},
      {"blanks kept", "\"C:\\probe\\proc\\child.exe\"   arg1  \"x y\"  " + korean + "  ", 0,
       "C:\\probe\\proc\\child.exe", "\"C:\\probe\\proc\\child.exe\"   arg1  \"x y\"  " + korean + "  "},
      {"tab after program", "C:\\probe\\proc\\child.exe\targ /i ", 0, "C:\\probe\\proc\\child.exe",
       "C:\\probe\\proc\\child.exe\targ /i "},
      {"unquoted path with blanks", "C:\\probe\\proc\\sub dir\\child two.exe a b", 0,
       "C:\\probe\\proc\\sub dir\\child two.exe", "\"C:\\probe\\proc\\sub dir\\child two.exe\" a b"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(report_.path());
    Started s = Start(row.line);
    EXPECT_TRUE(s.bufferUnchanged);
    if (row.error) {
      EXPECT_FALSE(s.ok);
      EXPECT_EQ(s.error, row.error);
      continue;
    }
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(Finish(s), 0u);
    auto seen = report_.Read();
    EXPECT_TRUE(winsim::EqualsNoCase(winsim::AnsiToUtf16(seen["module"]), winsim::AnsiToUtf16(row.module)))
        << seen["module"];
    EXPECT_EQ(seen["cmdline"], row.childLine);
  }
}

TEST_F(CreateProcessTest, ShortestExistingPrefixWins) {
  InstallChild("C:\\probe\\proc\\sub dir\\child two.exe");
  InstallChild("C:\\probe\\proc\\sub.exe");
  const std::string line = "C:\\probe\\proc\\sub dir\\child two.exe a b";
  Started s = Start(line);
  ASSERT_TRUE(s.ok) << s.error;
  EXPECT_EQ(Finish(s), 0u);
  auto seen = report_.Read();
  EXPECT_EQ(seen["module"], "C:\\probe\\proc\\sub.exe");
  EXPECT_EQ(seen["cmdline"], line);
  EXPECT_EQ(seen["argc"], "5");
  EXPECT_EQ(seen["arg1"], "dir\\child");
  EXPECT_EQ(seen["arg2"], "two.exe");
}

TEST_F(CreateProcessTest, ChildArgumentsFollowTheSplittingRules) {
  Started s = Start("C:\\probe\\proc\\child.exe /s \"a b\" c\\\"d \"\" \xC7\xD1\xB1\xDB");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(Finish(s), 0u);
  auto seen = report_.Read();
  EXPECT_EQ(seen["argc"], "6");
  EXPECT_EQ(seen["arg1"], "/s");
  EXPECT_EQ(seen["arg2"], "a b");
  EXPECT_EQ(seen["arg3"], "c\"d");
  EXPECT_EQ(seen["arg4"], "");
  EXPECT_EQ(seen["arg5"], "\xC7\xD1\xB1\xDB");
}

TEST_F(CreateProcessTest, BareNameSearchOrder) {
  // The caller is a copy of the child in C:\probe\own; it starts "child"
  // with C:\probe\cwd as its current folder.
  InstallChild("C:\\probe\\own\\launcher.exe");
  std::filesystem::create_directories(HostOf("C:\\probe\\cwd"));
  const struct {
    const char* install;  // where a copy of the child is added before the run
    const char* expected;
  } rows[] = {
      {"C:\\Windows\\child.exe", "C:\\Windows\\child.exe"},
      {"C:\\Windows\\System32\\child.exe", "C:\\Windows\\System32\\child.exe"},
      {"C:\\probe\\cwd\\child.exe", "C:\\probe\\cwd\\child.exe"},
      {"C:\\probe\\own\\child.exe", "C:\\probe\\own\\child.exe"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.install);
    InstallChild(row.install);
    std::filesystem::remove(report_.path());
    Started s = Start("C:\\probe\\own\\launcher.exe spawn \"child arg1\"", 0, "C:\\probe\\cwd");
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(Finish(s), 0u);
    auto seen = report_.Read();
    EXPECT_TRUE(winsim::EqualsNoCase(winsim::AnsiToUtf16(seen["module"]), winsim::AnsiToUtf16(row.expected)))
        << seen["module"];
    EXPECT_EQ(seen["cmdline"], "child arg1");
    EXPECT_EQ(seen["cwd"], "C:\\probe\\cwd");
  }
}

TEST_F(CreateProcessTest, ApplicationNameIsTheImageAndTheLineIsPassedUnchanged) {
  Started s = Start("foo bar baz", 0, nullptr, "C:\\probe\\proc\\child.exe");
  ASSERT_TRUE(s.ok) << s.error;
  EXPECT_EQ(Finish(s), 0u);
  auto seen = report_.Read();
  EXPECT_EQ(seen["cmdline"], "foo bar baz");
  EXPECT_EQ(seen["module"], "C:\\probe\\proc\\child.exe");
  EXPECT_EQ(seen["arg1"], "bar");
  EXPECT_EQ(seen["arg2"], "baz");

  s = Start("x", 0, nullptr, "C:\\probe\\proc\\nothere.exe");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(CreateProcessTest, CurrentDirectoryAndStartupInfo) {
  std::filesystem::create_directories(HostOf("C:\\probe\\proc\\sub dir"));
  const struct {
    const char* name;
    const char* directory;
    DWORD startFlags;
    WORD show;
    const char* cwd;
    const char* flags;
    const char* seenShow;
  } rows[] = {
      {"hidden, caller's folder", nullptr, STARTF_USESHOWWINDOW, 0, "C:\\probe", "1", "0"},
      {"shown", nullptr, STARTF_USESHOWWINDOW, 5, "C:\\probe", "1", "5"},
      {"no show command", nullptr, 0, 3, "C:\\probe", "0", "0"},
      {"given folder", "C:\\probe\\proc\\sub dir\\", STARTF_USESHOWWINDOW, 0, "C:\\probe\\proc\\sub dir", "1", "0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    std::filesystem::remove(report_.path());
    Started s = Start("C:\\probe\\proc\\child.exe", CREATE_NEW_PROCESS_GROUP, row.directory, nullptr, row.startFlags,
                      row.show);
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(Finish(s), 0u);
    auto seen = report_.Read();
    EXPECT_EQ(seen["cwd"], row.cwd);
    EXPECT_EQ(seen["flags"], row.flags);
    EXPECT_EQ(seen["show"], row.seenShow);
  }
  Started s = Start("C:\\probe\\proc\\child.exe", 0, "C:\\probe\\no such folder");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error, static_cast<DWORD>(ERROR_DIRECTORY));
}

// Runs the child's "print" with standard output and error sent to a file.
std::string OutputOfPrint(DWORD startFlags, WORD show) {
  std::string path = winsim::testing::TempHostDir() + "/out.txt";
  int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  fflush(stdout);
  int savedOut = dup(1), savedErr = dup(2);
  dup2(file, 1);
  dup2(file, 2);
  Started s = Start("C:\\probe\\proc\\child.exe print visible-text", 0, nullptr, nullptr, startFlags, show);
  DWORD code = Finish(s);
  dup2(savedOut, 1);
  dup2(savedErr, 2);
  close(savedOut);
  close(savedErr);
  close(file);
  EXPECT_TRUE(s.ok);
  EXPECT_EQ(code, 0u);
  return winsim::testing::ReadHostFile(path);
}

TEST_F(CreateProcessTest, HiddenConsoleOutputIsNeverSeen) {
  EXPECT_EQ(OutputOfPrint(STARTF_USESHOWWINDOW, 0), "");
  EXPECT_EQ(OutputOfPrint(STARTF_USESHOWWINDOW, 5), "visible-text\nvisible-text\n");
  EXPECT_EQ(OutputOfPrint(STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES, 0), "visible-text\nvisible-text\n");
}

TEST_F(CreateProcessTest, JournalLineHoldsTimeParentChildAndTheLineAsPassed) {
  const std::string line = "\"C:\\probe\\proc\\child.exe\"  /s  \xC7\xD1\xB1\xDB ";
  Started s = Start(line);
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(Finish(s), 0u);
  std::string journal = winsim::testing::ReadHostFile(winsim::JournalDir() + "/processes.log");
  ASSERT_FALSE(journal.empty());
  ASSERT_EQ(journal.back(), '\n');
  journal.pop_back();
  std::string last = journal.substr(journal.rfind('\n') == std::string::npos ? 0 : journal.rfind('\n') + 1);
  std::string expectedTail = " " + std::to_string(getpid()) + " " + std::to_string(s.info.dwProcessId) + " " + line;
  ASSERT_GT(last.size(), expectedTail.size());
  EXPECT_EQ(last.substr(last.size() - expectedTail.size()), expectedTail);
  EXPECT_TRUE(std::regex_match(last.substr(0, last.size() - expectedTail.size()),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d\d\d)")))
      << last;
}

TEST_F(CreateProcessTest, BadInput) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(CreateProcessA(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  char line[] = "C:\\probe\\proc\\child.exe";
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Over the 32767-character limit of a command line.
  Started s = Start("C:\\probe\\proc\\child.exe " + std::string(40000, 'x'));
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_TRUE(s.bufferUnchanged);

  // A program name longer than any path.
  s = Start("C:\\probe\\" + std::string(400, 'p') + " x");
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  // Long but within the limit: passed on unchanged.
  const std::string longLine = "C:\\probe\\proc\\child.exe " + std::string(32000, 'y');
  s = Start(longLine);
  ASSERT_TRUE(s.ok) << s.error;
  EXPECT_EQ(Finish(s), 0u);
  EXPECT_EQ(report_.Read()["cmdline"], longLine);
}

TEST_F(CreateProcessTest, ProgramStartedFromAHostShellSeesItsWindowsPathAndQuotedArguments) {
  // Launch variables inherited from another process must be ignored.
  const std::string host = HostOf("C:\\probe\\proc\\child.exe");
  std::vector<std::string> args = {"ignored-argv0", "a b", "", "c\"d", "\xED\x95\x9C"};  // last: UTF-8 Hangul
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env = {"WINSIM_MACHINE=" + winsim::MachineRoot(), "WINSIM_PID=1",
                                  "WINSIM_CMDLINE=stale line", "WINSIM_IMAGE=C:\\stale.exe",
                                  "TESTCHILD_REPORT=" + report_.path()};
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawn(&pid, host.c_str(), nullptr, nullptr, argv.data(), envp.data()), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  auto seen = report_.Read();
  EXPECT_EQ(seen["cmdline"], "C:\\probe\\proc\\child.exe \"a b\" \"\" \"c\\\"d\" \xC7\xD1");
  EXPECT_EQ(seen["module"], "C:\\probe\\proc\\child.exe");
}

TEST(CurrentProcess, CommandLineIsTheImageWindowsPathAndStable) {
  LPSTR first = GetCommandLineA();
  EXPECT_EQ(first, GetCommandLineA());
  std::string image = winsim::Utf16ToAnsi(winsim::HostToWindows(std::filesystem::read_symlink("/proc/self/exe")));
  std::string line = first;
  std::string expectedStart = image.find(' ') == std::string::npos ? image : "\"" + image + "\"";
  EXPECT_EQ(line.substr(0, expectedStart.size()), expectedStart);
  char module[MAX_PATH];
  std::memset(module, 0xCC, sizeof module);
  EXPECT_EQ(GetModuleFileNameA(nullptr, module, sizeof module), image.size());
  EXPECT_EQ(std::string(module), image);
  EXPECT_EQ(image.find('/'), std::string::npos);
}

}  // namespace
