// regsvr32.exe with the plug-in library: registration visible with
// reg.exe, a second registration replacing the first, unregistration, and
// the exit codes for libraries that cannot be loaded, lack the entry point
// or fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "tool_runner.h"
#include "windows.h"
#include "winsim/machine.h"

using tools_test::RunTool;
using tools_test::ToolRun;

namespace {

const char kLibrary[] = "C:\\Windows\\System32\\ORV_EapPeap.dll";
const char kClassKey[] = "HKCR\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}";
const char kMethodKey[] = "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301\\25";

std::string System32() { return winsim::DriveCRoot() + "/Windows/System32"; }

void Install(const std::string& hostFile, const std::string& name) {
  std::filesystem::copy_file(hostFile, System32() + "/" + name, std::filesystem::copy_options::overwrite_existing);
}

std::string ReadString(HKEY root, const char* path, const char* name) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
  char text[512] = {};
  DWORD size = sizeof(text) - 1;
  LSTATUS status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? std::string(text) : "<no value>";
}

class Regsvr32ToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    Install(ORV_PLUGIN_FILE, "ORV_EapPeap.dll");
  }
};

}  // namespace

TEST_F(Regsvr32ToolTest, SilentRegistrationIsVisibleWithRegAndUnregistrationRemovesIt) {
  ToolRun run = RunTool("regsvr32.exe", {"/s", kLibrary});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("", run.out);

  ToolRun query = RunTool("reg.exe", {"query", std::string(kClassKey) + "\\InprocServer32"});
  EXPECT_EQ(0, query.exitCode);
  EXPECT_EQ(std::string("\nHKEY_CLASSES_ROOT\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}\\InprocServer32\n") +
                "    (Default)    REG_SZ    " + kLibrary + "\n    ThreadingModel    REG_SZ    Both\n\n",
            query.out);
  EXPECT_EQ("ORV EAP-PEAP Authentication Method",
            ReadString(HKEY_CLASSES_ROOT, "CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}", ""));
  EXPECT_EQ(kLibrary, ReadString(HKEY_LOCAL_MACHINE, kMethodKey, "PeerDllPath"));
  EXPECT_EQ("ORV EAP-PEAP", ReadString(HKEY_LOCAL_MACHINE, kMethodKey, "PeerFriendlyName"));

  // A second registration replaces the first: nothing else stays behind.
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMethodKey, 0, KEY_ALL_ACCESS, &key));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Stale", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
  RegCloseKey(key);
  EXPECT_EQ(0, RunTool("regsvr32.exe", {"/s", kLibrary}).exitCode);
  EXPECT_EQ("<no value>", ReadString(HKEY_LOCAL_MACHINE, kMethodKey, "Stale"));
  EXPECT_EQ(kLibrary, ReadString(HKEY_LOCAL_MACHINE, kMethodKey, "PeerDllPath"));

  EXPECT_EQ(0, RunTool("regsvr32.exe", {"/s", "/u", kLibrary}).exitCode);
  EXPECT_EQ(1, RunTool("reg.exe", {"query", kClassKey}).exitCode);
  EXPECT_EQ("<no key>", ReadString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301",
                                   ""));
  EXPECT_NE("<no key>", ReadString(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods", ""));
  // Unregistering what is not registered succeeds.
  EXPECT_EQ(0, RunTool("regsvr32.exe", {"/s", "/u", kLibrary}).exitCode);
}

TEST_F(Regsvr32ToolTest, TheSetupProgramsCommandLinesWork) {
  // As the setup program runs it: program path without ".exe", the library quoted.
  // The registered path is the one the library was loaded under.
  ToolRun run = RunTool("regsvr32.exe", {"/s", "C:\\WINDOWS\\SYSTEM32\\orv_eappeap.DLL"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("C:\\WINDOWS\\SYSTEM32\\orv_eappeap.DLL",
            ReadString(HKEY_CLASSES_ROOT, "CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}\\InprocServer32", ""));
  run = RunTool("regsvr32.exe", {"/s", "/u", kLibrary});
  EXPECT_EQ(0, run.exitCode);
}

TEST_F(Regsvr32ToolTest, ExitCodesForLibrariesThatDoNotRegister) {
  Install(EMPTY_LIBRARY_FILE, "empty.dll");
  Install(FAILING_LIBRARY_FILE, "failing.dll");
  winsim::testing::WriteHostFile(System32() + "/text.dll", "this is not a library");
  struct Row {
    const char* row;
    std::vector<std::string> args;
    int exitCode;
    std::string message;  // with /c, on standard output
  } rows[] = {
      {"missing file", {"/s", "C:\\Windows\\System32\\missing.dll"}, 3, ""},
      {"missing folder", {"/s", "C:\\No\\Such\\Folder\\x.dll"}, 3, ""},
      {"not a library", {"/s", "C:\\Windows\\System32\\text.dll"}, 3, ""},
      {"no entry point", {"/s", "C:\\Windows\\System32\\empty.dll"}, 4, ""},
      {"no DllInstall", {"/s", "/i", "C:\\Windows\\System32\\ORV_EapPeap.dll"}, 4, ""},
      {"registration fails", {"/s", "C:\\Windows\\System32\\failing.dll"}, 5, ""},
      {"unregistration fails", {"/s", "/u", "C:\\Windows\\System32\\failing.dll"}, 5, ""},
      {"console: missing file",
       {"/c", "C:\\Windows\\System32\\missing.dll"},
       3,
       "The module \"C:\\Windows\\System32\\missing.dll\" failed to load.\n\nMake sure the binary is stored at the "
       "specified path or debug it to check for problems with the binary or dependent .DLL files.\n\nThe "
       "specified module could not be found.\n"},
      {"console: failing call",
       {"/c", "C:\\Windows\\System32\\failing.dll"},
       5,
       "The module \"C:\\Windows\\System32\\failing.dll\" was loaded but the call to DllRegisterServer failed with "
       "error code 0x80004005.\n\nFor more information about this problem, search online using the error code as "
       "the search term.\n"},
      {"console: no entry point",
       {"/c", "C:\\Windows\\System32\\empty.dll"},
       4,
       "The module \"C:\\Windows\\System32\\empty.dll\" was loaded but the entry-point DllRegisterServer was not "
       "found.\n\nMake sure that \"C:\\Windows\\System32\\empty.dll\" is a valid DLL or OCX file and then try "
       "again.\n"},
      {"no library named", {"/s"}, 1, ""},
      {"unknown flag", {"/s", "/x", kLibrary}, 1, ""},
      {"/n without /i", {"/s", "/n", kLibrary}, 1, ""},
      {"console: no library", {"/c"}, 1, "To register a module, you must provide a binary name.\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ToolRun run = RunTool("regsvr32.exe", row.args);
    EXPECT_EQ(row.exitCode, run.exitCode);
    if (row.message.empty()) {
      EXPECT_EQ("", run.out);
    } else {
      EXPECT_EQ(row.message, run.out.substr(0, row.message.size()));
    }
  }
  // None of these registered anything.
  EXPECT_EQ(1, RunTool("reg.exe", {"query", kClassKey}).exitCode);
}

TEST_F(Regsvr32ToolTest, StandardUserCannotRegister) {
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  ToolRun run = RunTool("regsvr32.exe", {"/c", kLibrary});
  EXPECT_EQ(5, run.exitCode);
  EXPECT_NE(std::string::npos, run.out.find("failed with error code 0x80070005."));
  EXPECT_EQ(1, RunTool("reg.exe", {"query", kClassKey}).exitCode);
}

TEST_F(Regsvr32ToolTest, WithoutSilentTheOutcomeIsShownInAMessageBox) {
  std::string script = winsim::testing::TempHostDir() + "/user.txt";
  winsim::testing::WriteHostFile(script, "answer IDOK\n");
  ToolRun run = RunTool("regsvr32.exe", {kLibrary}, "", "", {"WINSIM_USER=" + script, "QT_QPA_PLATFORM=offscreen"});
  EXPECT_EQ(0, run.exitCode);
  std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  EXPECT_NE(std::string::npos, events.find("\"event\":\"show\",\"caption\":\"RegSvr32\",\"text\":\"DllRegisterServer "
                                           "in C:\\\\Windows\\\\System32\\\\ORV_EapPeap.dll succeeded.\""))
      << events;
}

namespace {

// Runs a command line as the setup program does: CreateProcessA, hidden,
// then the exit code once it ended.
DWORD RunInMachine(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = 0;  // SW_HIDE
  PROCESS_INFORMATION process{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD exitCode = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

}  // namespace

// The machine's regsvr32 starts without the desktop and, for a run that
// shows boxes, goes on in the form that has it: still the process that
// CreateProcessA started (the box is that pid's, it is one journal line),
// with the exit code of the outcome.
TEST_F(Regsvr32ToolTest, BoxesOfAMachineRunComeFromTheStartedProcess) {
  std::string script = winsim::testing::TempHostDir() + "/user.txt";
  winsim::testing::WriteHostFile(script, "answer IDOK\nanswer IDOK\n");
  setenv("WINSIM_USER", script.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string line = "C:\\Windows\\System32\\regsvr32.exe C:\\Windows\\System32\\Missing.dll";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  ASSERT_TRUE(CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 60000));
  DWORD exitCode = 0xdeadbeef;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  unsetenv("WINSIM_USER");

  EXPECT_EQ(3u, exitCode);
  std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  const std::string pid = "\"pid\":" + std::to_string(process.dwProcessId) + ",";
  size_t show = events.find("\"event\":\"show\",\"caption\":\"RegSvr32\"");
  ASSERT_NE(std::string::npos, show) << events;
  size_t lineStart = events.rfind('\n', show);
  lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
  EXPECT_NE(std::string::npos, events.substr(lineStart, show - lineStart).find(pid)) << events;
  EXPECT_NE(std::string::npos, events.find("Missing.dll", show)) << events;
  std::string journal = winsim::testing::ReadHostFile(winsim::MachineRoot() + "/journal/processes.log");
  size_t started = 0;
  for (size_t at = journal.find(line); at != std::string::npos; at = journal.find(line, at + 1)) ++started;
  EXPECT_EQ(1u, started) << journal;
}

// The setup program's command lines, run by the copies in the machine.
TEST_F(Regsvr32ToolTest, TheMachinesOwnCopiesRunThroughCreateProcess) {
  EXPECT_EQ(0u, RunInMachine("C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\ORV_EapPeap.dll\""));
  EXPECT_EQ(kLibrary, ReadString(HKEY_LOCAL_MACHINE, kMethodKey, "PeerDllPath"));
  EXPECT_EQ(0u, RunInMachine("C:\\Windows\\System32\\Regsvr32 /s /u \"C:\\Windows\\System32\\ORV_EapPeap.dll\""));
  EXPECT_EQ("<no key>", ReadString(HKEY_LOCAL_MACHINE, kMethodKey, ""));
  EXPECT_EQ(3u, RunInMachine("C:\\Windows\\System32\\Regsvr32 /s \"C:\\Windows\\System32\\Missing.dll\""));

  std::string folder = winsim::DriveCRoot() + "/Windows/Bramblecast/Veltrane RAZ";
  std::filesystem::create_directories(folder);
  winsim::testing::WriteHostFile(
      folder + "/Campus Guest.xml",
      "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>Campus Guest</name>"
      "<SSIDConfig><SSID><name>Guest</name></SSID></SSIDConfig></WLANProfile>");
  EXPECT_EQ(1u, RunInMachine("netsh wlan delete profile Campus"));
  EXPECT_EQ(0u, RunInMachine("netsh wlan add profile \"C:\\Windows\\Bramblecast\\Veltrane RAZ\\Campus Guest.xml\""));
  // Unquoted, the second word is taken for the interface, as netsh does.
  EXPECT_EQ(1u, RunInMachine("netsh wlan delete profile Campus Guest"));
  EXPECT_EQ(0u, RunInMachine("netsh wlan delete profile \"Campus Guest\""));
  EXPECT_EQ(1u, RunInMachine("netsh wlan delete profile "));
}
