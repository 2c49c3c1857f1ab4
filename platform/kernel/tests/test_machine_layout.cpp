// What a new machine holds (win.ini, the usual environment, the user's
// temporary folder), and that a machine is laid out once: nothing comes
// back by itself after a program or a person deleted it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "machine_fixture.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

// GetEnvironmentVariableA's answer: the value, or "<missing>" with error 203.
std::string Env(const char* name) {
  char buf[512];
  std::memset(buf, 0xCC, sizeof buf);
  SetLastError(0xdeadbeef);
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  if (n == 0) return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? "<missing>" : "<error>";
  if (n >= sizeof buf) return "<too long>";
  EXPECT_EQ(0xdeadbeefu, GetLastError()) << name;
  return std::string(buf, n);
}

TEST(MachineLayout, NewMachineHasWinIni) {
  std::string root = winsim::testing::FreshMachine();
  EXPECT_EQ("; for 16-bit app support\r\n[fonts]\r\n[extensions]\r\n[mci extensions]\r\n[files]\r\n[Mail]\r\nMAPI=1\r\n",
            winsim::testing::ReadHostFile(root + "/drive_c/Windows/win.ini"));
  // The profile functions read it when no file is named.
  char value[16];
  EXPECT_EQ(1u, GetPrivateProfileStringA("Mail", "MAPI", "", value, sizeof value, nullptr));
  EXPECT_STREQ("1", value);
  EXPECT_EQ(1u, GetPrivateProfileStringA("Mail", "MAPI", "", value, sizeof value, "win.ini"));
}

TEST(MachineLayout, EnvironmentOfA64BitProgramOnX64) {
  winsim::testing::FreshMachine();
  const std::string profile = "C:\\Users\\" + winsim::Config().user;
  struct Row {
    const char* name;
    std::string value;
  } rows[] = {
      {"PROCESSOR_ARCHITECTURE", "AMD64"},
      {"PROCESSOR_ARCHITEW6432", "<missing>"},
      {"OS", "Windows_NT"},
      {"ProgramFiles", "C:\\Program Files"},
      {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
      {"ProgramW6432", "C:\\Program Files"},
      {"ProgramData", "C:\\ProgramData"},
      {"ComSpec", "C:\\Windows\\system32\\cmd.exe"},
      {"comspec", "C:\\Windows\\system32\\cmd.exe"},
      {"SystemRoot", "C:\\Windows"},
      {"windir", "C:\\Windows"},
      {"APPDATA", profile + "\\AppData\\Roaming"},
      {"USERPROFILE", profile},
      {"TEMP", profile + "\\AppData\\Local\\Temp"},
      {"TMP", profile + "\\AppData\\Local\\Temp"},
  };
  for (const auto& row : rows) EXPECT_EQ(row.value, Env(row.name)) << row.name;

  std::string processors = Env("NUMBER_OF_PROCESSORS");
  ASSERT_FALSE(processors.empty());
  EXPECT_EQ(std::string::npos, processors.find_first_not_of("0123456789")) << processors;
  EXPECT_GE(std::stoi(processors), 1);

  // The temporary folder is there on a new machine.
  EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesA(Env("TEMP").c_str()));
}

extern "C" int winsim_image_bits;  // 32: the layer treats this program as a 32-bit one

TEST(MachineLayout, EnvironmentOfA32BitProgramOnX64) {
  winsim::testing::FreshMachine();
  winsim_image_bits = 32;
  ASSERT_TRUE(winsim::IsWow64());
  EXPECT_EQ("x86", Env("PROCESSOR_ARCHITECTURE"));
  EXPECT_EQ("AMD64", Env("PROCESSOR_ARCHITEW6432"));
  EXPECT_EQ("C:\\Program Files (x86)", Env("ProgramFiles"));
  EXPECT_EQ("C:\\Program Files (x86)", Env("ProgramFiles(x86)"));
  EXPECT_EQ("C:\\Program Files", Env("ProgramW6432"));
  winsim_image_bits = 0;
}

TEST(MachineLayout, EnvironmentOfAn86Machine) {
  winsim::testing::FreshMachine();
  ASSERT_TRUE(winsim::SetConfigValue("arch", "x86", nullptr));
  EXPECT_EQ("x86", Env("PROCESSOR_ARCHITECTURE"));
  EXPECT_EQ("<missing>", Env("PROCESSOR_ARCHITEW6432"));
  EXPECT_EQ("<missing>", Env("ProgramFiles(x86)"));
  EXPECT_EQ("<missing>", Env("ProgramW6432"));
  EXPECT_EQ("C:\\Program Files", Env("ProgramFiles"));
}

TEST(MachineLayout, DeletedThingsStayDeleted) {
  std::string root = winsim::testing::FreshMachine();
  const std::vector<std::string> deleted = {
      "/drive_c/Windows/System32/regsvr32.exe", "/drive_c/Windows/SysWOW64/netsh.exe", "/drive_c/Windows/win.ini"};
  for (const auto& file : deleted) {
    ASSERT_TRUE(winsim::testing::HostExists(root + file)) << file;
    ASSERT_EQ(0, std::remove((root + file).c_str())) << file;
  }
  ASSERT_EQ(0, std::remove((root + "/drive_c/ProgramData").c_str()));
  // What every program start does, and `winsim init` on an existing machine.
  std::string error;
  ASSERT_TRUE(winsim::InitMachine(root, &error)) << error;
  ASSERT_TRUE(winsim::InitMachine(root + "/", &error)) << error;
  for (const auto& file : deleted) EXPECT_FALSE(winsim::testing::HostExists(root + file)) << file;
  EXPECT_FALSE(winsim::testing::HostExists(root + "/drive_c/ProgramData"));
  // Windows reports the missing program as such.
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  char line[] = "C:\\Windows\\System32\\regsvr32.exe /s x.dll";
  SetLastError(0xdeadbeef);
  EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

TEST(MachineLayout, ProgramsStartingTogetherLayOutOneMachine) {
  const std::string root = winsim::testing::TempHostDir() + "/together";
  std::vector<std::thread> threads;
  std::vector<int> results(4, 0);
  for (size_t i = 0; i < results.size(); ++i) {
    threads.emplace_back([&, i] {
      std::string error;
      results[i] = winsim::InitMachine(root, &error) ? 1 : 0;
    });
  }
  for (auto& t : threads) t.join();
  for (int r : results) EXPECT_EQ(1, r);
  EXPECT_TRUE(winsim::testing::HostExists(root + "/machine.conf"));
  EXPECT_TRUE(winsim::testing::HostExists(root + "/drive_c/Windows/win.ini"));
  EXPECT_TRUE(winsim::testing::HostExists(root + "/drive_c/Windows/System32"));
}

// A folder whose layout was cut short (no machine.conf yet) is laid out
// by the next start.
TEST(MachineLayout, UnfinishedLayoutIsCompleted) {
  const std::string root = winsim::testing::TempHostDir();
  winsim::testing::WriteHostFile(root + "/stray", "x");  // the folder exists, the machine does not
  std::string error;
  ASSERT_TRUE(winsim::InitMachine(root, &error)) << error;
  EXPECT_TRUE(winsim::testing::HostExists(root + "/machine.conf"));
  EXPECT_TRUE(winsim::testing::HostExists(root + "/drive_c/Program Files (x86)"));
}

}  // namespace
