// Races: twenty silent installs started together, also with the one that
// runs killed at its first child start; and two programs writing the
// registry at once, one of them killed midway.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "kill_support.h"
#include "machine_fixture.h"
#include "machine_snapshot.h"
#include "setup_run.h"
#include "winsim/codepage.h"
#include "winsim/paths.h"

namespace {

constexpr int kRacers = 20;
const char kStartLine[] = "[설치 또는 삭제 프로그램 시작 ]";
const char kInstalledLine[] = "모든파일 정상 설치 완료, InstallSuccess=1 로 변경";

size_t Count(const std::vector<std::string>& lines, const std::string& line) {
  size_t n = 0;
  for (const auto& l : lines) n += l == line;
  return n;
}

size_t SetupStarts() {
  size_t n = 0;
  for (const auto& line : e2e::StartedCommandLines()) n += line.find("VeltraneGTC64.exe") != std::string::npos;
  return n;
}

TEST(SetupRace, TwentyInstallsOneInstalls) {
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  std::vector<reliability::Running> runs;
  for (int i = 0; i < kRacers; ++i) runs.push_back(reliability::Start(setup, "/i /s", reliability::InstallAnswers()));
  for (auto& r : runs) {
    ASSERT_TRUE(r.started);
    EXPECT_EQ(0, reliability::WaitAndClose(r));
  }
  const auto log = e2e::LogMessages();
  EXPECT_EQ(1u, Count(log, kStartLine)) << "only one racer may get as far as its log";
  EXPECT_EQ(1u, Count(log, kInstalledLine));
  EXPECT_EQ(static_cast<size_t>(kRacers), SetupStarts());
  EXPECT_EQ(static_cast<size_t>(kRacers + reliability::kInstallChildStarts), e2e::StartedCommandLines().size())
      << "the racers that did not install started nothing";
  EXPECT_EQ("ok", reliability::RegistryIntegrity());
}

TEST(SetupRace, TwentyInstallsTheRunningOneKilledAtItsFirstChild) {
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  const std::string parkFile = winsim::testing::TempHostDir() + "/parked";
  std::vector<reliability::Running> runs;
  for (int i = 0; i < kRacers; ++i) {
    runs.push_back(reliability::Start(setup, "/i /s", reliability::InstallAnswers(), 1, parkFile));
  }
  // One racer holds the machine and parks at its first child start; the
  // others end without a trace.
  int parked = -1;
  for (int waited = 0; parked < 0 && waited < 60000; waited += 10) {
    if (winsim::testing::HostExists(parkFile)) {
      const pid_t pid = static_cast<pid_t>(std::stol(winsim::testing::ReadHostFile(parkFile)));
      for (int i = 0; i < kRacers; ++i) {
        if (static_cast<pid_t>(runs[i].info.dwProcessId) == pid) parked = i;
      }
    }
    if (parked < 0) usleep(10000);
  }
  ASSERT_GE(parked, 0) << "no racer reached its first child start";
  for (int i = 0; i < kRacers; ++i) {
    if (i != parked) {
      EXPECT_EQ(0, reliability::WaitAndClose(runs[i])) << "racer " << i;
    }
  }
  reliability::KillAndClose(runs[parked]);
  EXPECT_EQ(1u, Count(e2e::LogMessages(), kStartLine));
  EXPECT_TRUE(reliability::Survivors(reliability::StartedPids()).empty());

  // The machine is free again: an uninstall and a new install both run.
  EXPECT_EQ(0, reliability::RunToEnd(setup, "/u /s"));
  EXPECT_EQ(2u, Count(e2e::LogMessages(), kStartLine));
  EXPECT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
  EXPECT_EQ(1u, Count(e2e::LogMessages(), kInstalledLine));
  EXPECT_EQ("ok", reliability::RegistryIntegrity());
}

// --- Two registry writers ---------------------------------------------------

constexpr DWORD kWrites = 1000;

std::vector<DWORD> Progress(const std::string& path) {
  std::vector<DWORD> done;
  std::istringstream in(winsim::testing::ReadHostFile(path));
  unsigned long i;
  while (in >> i) done.push_back(static_cast<DWORD>(i));
  return done;
}

reliability::Running StartWriter(const std::string& id, const std::string& progress) {
  const std::string exe = winsim::Utf16ToAnsi(winsim::HostToWindows(winsim::testing::BinDir() + "/registry_writer.exe"));
  std::string line = "\"" + exe + "\" " + id + " " + std::to_string(kWrites) + " " + progress;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  reliability::Running r;
  r.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &r.info) != FALSE;
  return r;
}

std::optional<DWORD> DwordValue(const std::string& key, const std::string& name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::nullopt;
  DWORD value = 0, size = sizeof value, type = 0;
  const LONG r = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(h);
  if (r != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

// Every round the writer reported done is in the registry.
void ExpectRoundsKept(const std::string& id, DWORD rounds) {
  DWORD lost = 0;
  for (DWORD i = 0; i < rounds; ++i) {
    if (DwordValue("Software\\Race\\Writer" + id, "n" + std::to_string(i)) != std::optional<DWORD>(i)) ++lost;
    const bool keyKept = i % 4 == 0 && i + 2 >= rounds;  // made, not yet deleted
    if (i % 4 == 0) {
      EXPECT_EQ(keyKept, e2e::RegKeyExists(HKEY_LOCAL_MACHINE, ("Software\\Race\\Shared\\w" + id + "_" +
                                                                   std::to_string(i)).c_str()))
          << "writer " << id << " round " << i;
    }
  }
  EXPECT_EQ(0u, lost) << "writer " << id << " lost values of rounds it reported done";
}

TEST(RegistryRace, TwoWritersOneKilledMidway) {
  winsim::testing::FreshMachine();
  const std::string dir = winsim::testing::TempHostDir();
  const std::string progressA = dir + "/a.progress", progressB = dir + "/b.progress";
  reliability::Running a = StartWriter("A", progressA);
  reliability::Running b = StartWriter("B", progressB);
  ASSERT_TRUE(a.started && b.started);
  // B is killed once it is well under way.
  while (Progress(progressB).size() < kWrites / 3) {
    ASSERT_EQ(WAIT_TIMEOUT, WaitForSingleObject(b.info.hProcess, 5)) << "writer B ended before it was killed";
  }
  reliability::KillAndClose(b);
  EXPECT_EQ(0, reliability::WaitAndClose(a)) << "the surviving writer failed";

  EXPECT_EQ("ok", reliability::RegistryIntegrity());
  const auto doneA = Progress(progressA);
  const auto doneB = Progress(progressB);
  ASSERT_EQ(kWrites, doneA.size());
  ASSERT_LT(doneB.size(), kWrites);
  ExpectRoundsKept("A", kWrites);
  EXPECT_EQ(std::optional<DWORD>(kWrites - 1), DwordValue("Software\\Race\\Shared", "lastA"));
  // B's last reported round is kept; the round it was killed in may or may
  // not have reached the registry.
  const DWORD roundsB = static_cast<DWORD>(doneB.size());
  for (DWORD i = 0; i < roundsB; ++i) {
    EXPECT_EQ(std::optional<DWORD>(i), DwordValue("Software\\Race\\WriterB", "n" + std::to_string(i))) << i;
  }
  const auto lastB = DwordValue("Software\\Race\\Shared", "lastB");
  ASSERT_TRUE(lastB.has_value());
  EXPECT_TRUE(*lastB == roundsB - 1 || *lastB == roundsB) << *lastB << " after " << roundsB << " rounds";
}

}  // namespace
