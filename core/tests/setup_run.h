// End-to-end runs of the setup program on a fresh machine: a copy of the
// shipped source folder, the program started through the machine's
// CreateProcessA, a scripted user, and readers for what it left behind.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "windows.h"

namespace e2e {

// A fresh machine and a copy of the shipped source folder in a host folder.
struct Setup {
  std::string machine;     // host folder of the machine
  std::string source;      // host folder of the copied source folder
  std::string sourceWin;   // its Windows path (a Z: path)
};
Setup FreshSetup();

// A WPA2-Enterprise WLAN profile whose profile name and SSID are `name`.
std::string ProfileXml(const std::string& name);

// Sets "ForceReboot=1" in the copied source folder's configuration; false
// when the shipped configuration has no "ForceReboot=0" to change.
bool ShippedConfigForcesRestart(const Setup& setup);

// Runs a Windows command line from `currentDirWin` with the scripted-user
// lines given; returns the exit code (or -1 when it could not start or did
// not end within the time-out).
int Run(const std::string& commandLine, const std::string& currentDirWin, const std::vector<std::string>& script,
        DWORD timeoutMs = 180000);
// Runs the program in the source folder: "<source>\VeltraneGTC64.exe <args>".
int RunSetup(const Setup& setup, const std::string& args, const std::vector<std::string>& script = {});

// The install log's messages, time stamps removed, in order.
std::vector<std::string> LogMessages();
bool LogHas(const std::string& message);
// True when `expected` appear in this order (others may stand between).
::testing::AssertionResult InOrder(const std::vector<std::string>& log, const std::vector<std::string>& expected);

// Command lines of the processes started in the machine, in order.
std::vector<std::string> StartedCommandLines();

// A REG_SZ value read through the wide function (nullopt when missing).
std::optional<std::u16string> RegString(HKEY root, const char* key, const char16_t* name);
bool RegKeyExists(HKEY root, const char* key);

// Host path of a Windows path in the machine.
std::string HostPath(const std::string& windowsPath);
bool Exists(const std::string& windowsPath);
DWORD Attributes(const std::string& windowsPath);
// Reads a key of an initialization file of the machine.
std::string IniValue(const std::string& windowsPath, const char* section, const char* key);

}  // namespace e2e
