// The 32-bit launcher under Wine: from the shipped folder it starts the
// setup program of the machine's word size, without arguments, which then
// runs in its UI mode. A Wine that cannot run 32-bit programs (a 64-bit-only
// Wine, or a kernel that refuses 32-bit programs) skips, saying why.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "wine_env.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(WineLauncher, StartsTheSetupProgramWithoutArguments) {
  const std::string missing = winebench::MissingForWine();
  if (!missing.empty()) GTEST_SKIP() << missing;
  winebench::WineCase wine;
  const std::string shipped = winebench::WindowsSourceDir();

  // A Wine that runs 32-bit programs has their system libraries in the
  // prefix; without them the launcher never gets to run (and wine still
  // ends with 0).
  if (!std::filesystem::exists(wine.HostPath("C:\\windows\\syswow64\\ntdll.dll"))) {
    GTEST_SKIP() << "this Wine cannot run 32-bit programs: the prefix has no C:\\windows\\syswow64\\ntdll.dll "
                    "(a 64-bit-only Wine; 32-bit support needs the i386 Wine packages and a kernel that runs "
                    "32-bit programs)";
  }

  const std::string source = wine.CopyIn(shipped, "source");
  winebench::WineProcess launched = wine.Start("VeltraneGtcLauncher.exe", source);
  ASSERT_TRUE(launched.Started());
  const std::string logPath = wine.HostPath("C:\\Windows\\System32\\VelGTCInstall.log");
  std::string log;
  for (int waited = 0; waited < 60000 && log.find("작동 모드 -> UI 모드") == std::string::npos; waited += 250) {
    usleep(250 * 1000);
    log = ReadFile(logPath);
  }
  wine.EndSession();
  launched.Wait(10000, false);
  EXPECT_NE(log.find("작동 모드 -> UI 모드"), std::string::npos) << "the setup program did not start in UI mode";
  EXPECT_EQ(log.find("인스톨"), std::string::npos) << "the launcher passed arguments on";
}

}  // namespace
