// Reading the setup configuration file with the buffer sizes its readers
// use, and the paths of the installed copy.
#include <gtest/gtest.h>

#include <string>

#include "SetupConfig.h"
#include "machine_fixture.h"

namespace {

TEST(SetupConfig, ReadsWithBufferSizeAndEmptyDefault) {
  const std::string root = winsim::testing::FreshMachine();
  winsim::testing::WriteHostFile(root + "/drive_c/setup.ini",
                                 "[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=" + std::string(2000, 'T') +
                                     "\r\nID=user01\r\n[InstallRoot]\r\nForceReboot=1\r\n");
  struct {
    const char* section;
    const char* key;
    DWORD buffer;
    std::string expected;
  } rows[] = {
      {"SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 1024, std::string(1023, 'T')},
      {"SITE_SPECIFIC", "UseSiteSpecificSetupTitle", 260, std::string(259, 'T')},
      {"SITE_SPECIFIC", "ID", 260, "user01"},
      {"SITE_SPECIFIC", "Password", 260, ""},
      {"InstallRoot", "ForceReboot", 10, "1"},
      {"NoSection", "ForceReboot", 10, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.section) + "/" + row.key);
    EXPECT_EQ(row.expected, setup::ReadConfigValue(row.section, row.key, row.buffer, "C:\\setup.ini"));
  }
  EXPECT_EQ("", setup::ReadConfigValue("SITE_SPECIFIC", "ID", 260, "C:\\missing.ini"));
}

TEST(SetupConfig, InstalledCopyIsTheSameFileEveryWay) {
  EXPECT_EQ("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", setup::InstalledCopyFromWindowsFolder());
  EXPECT_EQ("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", setup::InstalledCopyFromSystemFolder());
}

TEST(SetupConfig, TextLookupGivesTheKeyBack) {
  EXPECT_EQ("46", setup::LookupText("46"));
  EXPECT_EQ("", setup::LookupText(nullptr));
}

}  // namespace
