// Broken configuration files, as a table: whatever the file holds, the
// silent install ends with a clear result as the last line of its log, the
// program does not crash, and every program it starts is one of its own
// commands (regsvr32 or netsh), never a shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kill_support.h"
#include "machine_fixture.h"
#include "machine_snapshot.h"
#include "setup_run.h"

namespace {

struct BadConfig {
  std::string name;
  std::string ini;                                            // the configuration file's bytes
  std::vector<std::pair<std::string, std::string>> profiles;  // file name, profile name
};

std::ostream& operator<<(std::ostream& os, const BadConfig& c) { return os << c.name; }

std::string ProfileXml(const std::string& name) {
  return "<?xml version=\"1.0\"?>\n<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">\n"
         "<name>" + name + "</name>\n<SSIDConfig><SSID><name>x</name></SSID></SSIDConfig>\n</WLANProfile>\n";
}

std::string Header(const std::string& title = "") {
  return "[Root]\r\nCheckInstallLangue=Korean\r\n[SITE_SPECIFIC]\r\nUseSiteSpecificSetupTitle=" + title +
         "\r\nUseAutoConnection=1\r\nID=user01\r\nPassword=pw\r\n[InstallMessageOption]\r\nShowMessageInSilentMode=0\r\n"
         "[InstallRoot]\r\nForceReboot=0\r\n[GENERAL]\r\nUseDefaultProfile=1\r\n";
}

std::string Garbage(size_t size, uint32_t seed) {
  std::string out(size, '\0');
  for (auto& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

std::vector<BadConfig> Cases() {
  std::vector<BadConfig> cases;
  cases.push_back({"binary_garbage", Garbage(4096, 1), {}});
  cases.push_back({"empty", "", {}});
  {
    std::string big = Header() + "[BASIC_PROFILE]\r\nPROFILE1=office.xml\r\n[Filler]\r\n";
    const std::string line = "k=" + std::string(1000, 'v') + "\r\n";
    while (big.size() < 10u * 1024 * 1024) big += line;
    cases.push_back({"ten_megabytes", big, {{"office.xml", "office"}}});
  }
  cases.push_back({"invalid_cp949", Header("\x80\xff\xc7\x41\xfe\xff") +
                                        "[BASIC_PROFILE]\r\nPROFILE1=\xb0\xff\x81.xml\r\nPROFILE2=\xc7\r\n",
                   {}});
  {
    std::string title;
    for (int i = 0; i < 200; ++i) title += "%s%n%x%p";
    cases.push_back({"format_directives_in_title", Header(title) + "[BASIC_PROFILE]\r\nPROFILE1=office.xml\r\n",
                     {{"office.xml", "office %s%n"}}});
  }
  cases.push_back({"profile_names_with_shell_characters",
                   Header() + "[BASIC_PROFILE]\r\nPROFILE1=amp.xml\r\nPROFILE2=percent.xml\r\nPROFILE3=q\"uote.xml\r\n"
                              "PROFILE4=a|b.xml\r\nPROFILE5=a & calc.xml\r\n",
                   {{"amp.xml", "x\" & echo pwned & \""}, {"percent.xml", "%PATH% | more"}}});
  {
    const std::string longName(300, 'n');
    cases.push_back({"names_of_300_characters",
                     Header(std::string(300, 't')) + "[BASIC_PROFILE]\r\nPROFILE1=" + longName + ".xml\r\n",
                     {{longName + ".xml", std::string(300, 'p')}}});
  }
  {
    std::string many = Header() + "[BASIC_PROFILE]\r\nPROFILE1=office.xml\r\n[Filler]\r\n";
    for (int i = 0; i < 10000; ++i) many += "key" + std::to_string(i) + "=value" + std::to_string(i) + "\r\n";
    cases.push_back({"ten_thousand_entries", many, {{"office.xml", "office"}}});
  }
  return cases;
}

class BadConfigFile : public ::testing::TestWithParam<BadConfig> {};

TEST_P(BadConfigFile, EndsWithAClearResult) {
  const BadConfig& c = GetParam();
  const e2e::Setup setup = e2e::FreshSetup();
  winsim::testing::WriteHostFile(setup.source + "/VeltraneGTCSetup.ini", c.ini);
  for (const auto& [file, name] : c.profiles) winsim::testing::WriteHostFile(setup.source + "/" + file, ProfileXml(name));

  const long code = reliability::RunToEnd(setup, "/i /s");
  EXPECT_EQ(0, code) << "a crash or a hung run ends otherwise";
  std::string last;
  EXPECT_TRUE(reliability::LogEndsWithAClearResult(&last)) << "the log ends with: " << last;
  for (const auto& line : e2e::StartedCommandLines()) {
    const bool own = line.find("VeltraneGTC64.exe") != std::string::npos || line.rfind("netsh ", 0) == 0 ||
                     line.rfind("C:\\Windows\\System32\\Regsvr32 ", 0) == 0;
    EXPECT_TRUE(own) << "started: " << line;
  }
  EXPECT_EQ("ok", reliability::RegistryIntegrity());
}

INSTANTIATE_TEST_SUITE_P(Table, BadConfigFile, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<BadConfig>& info) { return info.param.name; });

}  // namespace
