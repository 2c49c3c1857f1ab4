// Full disks and read-only files: the install's copy fails, the install is
// rolled back and nothing reports success. The full disk is a small tmpfs
// under the machine folder, mounted by the test when it runs as root (and
// skipped, saying so, when it cannot mount).
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "kill_support.h"
#include "machine_fixture.h"
#include "machine_snapshot.h"
#include "setup_run.h"
#include "winsim/machine.h"

namespace {

namespace fs = std::filesystem;

const char kRecovery[] = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
const char kInstall[] = "C:\\Program Files\\Bramblecast\\Veltrane RAZ";
const char kPluginKey[] = "Software\\Bramblecast\\Veltrane RAZ";
const char kInstalledLine[] = "모든파일 정상 설치 완료, InstallSuccess=1 로 변경";

uintmax_t FolderBytes(const std::string& folder) {
  uintmax_t total = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(folder, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!ec && it->is_regular_file(ec)) total += it->file_size(ec);
  }
  return total;
}

// No part of the machine says the plug-in was installed, and the log ends
// with a clear result.
void ExpectNotInstalled() {
  EXPECT_FALSE(e2e::LogHas(kInstalledLine));
  EXPECT_NE("1", e2e::IniValue(std::string(kRecovery) + "\\VeltraneGTCSetup.ini", "Root", "InstallSuccess"));
  EXPECT_FALSE(e2e::RegKeyExists(HKEY_LOCAL_MACHINE, kPluginKey));
  std::string last;
  EXPECT_TRUE(reliability::LogEndsWithAClearResult(&last)) << "the log ends with: " << last;
}

class FullDisk : public ::testing::Test {
 protected:
  void TearDown() override {
    if (!mounted_.empty()) umount2(mounted_.c_str(), MNT_DETACH);
  }
  std::string mounted_;
};

TEST_F(FullDisk, CopyFailsAndTheInstallIsRolledBack) {
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  // Room for the machine as laid out, and a little for the registry and
  // logs, but not for the payload.
  const uintmax_t machineBytes = FolderBytes(setup.machine);
  const uintmax_t payloadBytes = FolderBytes(setup.source);
  const uintmax_t room = machineBytes + 512 * 1024;
  ASSERT_GT(payloadBytes, 2u * 512 * 1024) << "the payload would fit";
  if (geteuid() != 0) GTEST_SKIP() << "not root: no tmpfs can be mounted for a full disk";
  const std::string small = winsim::testing::TempHostDir() + "/small";
  fs::create_directory(small);
  const std::string options = "size=" + std::to_string(room);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, options.c_str()) != 0) {
    GTEST_SKIP() << "mounting a tmpfs failed (" << std::strerror(errno) << "): no full disk to try";
  }
  mounted_ = small;
  const std::string machine = small + "/machine";
  setenv("WINSIM_MACHINE", machine.c_str(), 1);
  std::string error;
  ASSERT_TRUE(winsim::InitMachine(machine, &error)) << error;

  EXPECT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
  ExpectNotInstalled();
  EXPECT_FALSE(e2e::Exists(kInstall));
  for (const auto& line : e2e::StartedCommandLines()) {
    EXPECT_EQ(std::string::npos, line.find("Regsvr32 /s \"")) << "the library was registered: " << line;
  }
  EXPECT_EQ("ok", reliability::RegistryIntegrity());
}

// A read-only file in a place the install writes: the copy fails (5) and
// the install is rolled back, or (where the file's folder is the install
// folder) the program takes itself for installed and refuses; either way
// nothing says it was installed.
class ReadOnlyPlace : public ::testing::TestWithParam<std::string> {};

TEST_P(ReadOnlyPlace, InstallIsRolledBack) {
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  const std::string place = GetParam();
  const std::string host = e2e::HostPath(place);
  fs::create_directories(fs::path(host).parent_path());
  winsim::testing::WriteHostFile(host, "old");
  ASSERT_TRUE(SetFileAttributesA(place.c_str(), FILE_ATTRIBUTE_READONLY));

  EXPECT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
  ExpectNotInstalled();
  EXPECT_EQ("ok", reliability::RegistryIntegrity());
}

INSTANTIATE_TEST_SUITE_P(EachFileTheInstallWrites, ReadOnlyPlace,
                         ::testing::Values(std::string(kRecovery) + "\\VeltraneGtcSetup.exe",
                                           std::string(kRecovery) + "\\VeltraneGTCSetup.ini",
                                           std::string(kRecovery) + "\\office.xml",
                                           std::string(kRecovery) + "\\Campus Guest.xml",
                                           std::string(kInstall) + "\\Version.txt",
                                           std::string(kInstall) + "\\Cert\\f1f2f575.0",
                                           std::string(kInstall) + "\\Image\\OrvGtcLogo.bmp",
                                           "C:\\Windows\\System32\\nxc1xu32.dll",
                                           "C:\\Windows\\System32\\ORV_EapPeap.dll"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(info.param.rfind('\\') + 1);
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
