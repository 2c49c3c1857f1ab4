// netsh.exe wlan: profiles added from files (also with blanks in their
// paths), listed, replaced and deleted, with netsh's messages and exit
// codes; malformed documents and command lines change nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "tool_runner.h"
#include "winsim/machine.h"

using tools_test::RunTool;
using tools_test::ToolRun;

namespace {

std::string Profile(const std::string& name, const std::string& ssid = "BrambleCast") {
  return "<?xml version=\"1.0\"?>\n"
         "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">\n"
         "  <name>" + name + "</name>\n"
         "  <SSIDConfig><SSID><name>" + ssid + "</name></SSID></SSIDConfig>\n"
         "  <connectionType>ESS</connectionType>\n"
         "  <MSM><security><authEncryption><authentication>WPA2</authentication>"
         "<encryption>AES</encryption><useOneX>true</useOneX></authEncryption></security></MSM>\n"
         "</WLANProfile>\n";
}

std::string InterfaceFolder() {
  return winsim::DriveCRoot() +
         "/ProgramData/Microsoft/Wlansvc/Profiles/Interfaces/{5E0D7B3A-1C42-4F6E-8A9B-2D3C4B5A6F70}";
}

// The stored profile documents, all scopes.
std::vector<std::string> StoredDocuments() {
  std::vector<std::string> documents;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(InterfaceFolder(), ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_regular_file()) documents.push_back(winsim::testing::ReadHostFile(it->path().string()));
  }
  return documents;
}

std::string Listing(const std::vector<std::string>& entries) {
  std::string text =
      "\nProfiles on interface Wi-Fi:\n\n"
      "Group policy profiles (read only)\n"
      "---------------------------------\n"
      "    <None>\n\n"
      "User profiles\n"
      "-------------\n";
  for (const auto& entry : entries) text += "    " + entry + "\n";
  if (entries.empty()) text += "    <None>\n";
  return text + "\n";
}

// The Windows path (drive Z:) of a host path.
std::string OnZ(std::string host) {
  for (char& c : host) c = c == '/' ? '\\' : c;
  return "Z:" + host;
}

class NetshToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    folder_ = winsim::testing::TempHostDir() + "/site profiles";
    std::filesystem::create_directories(folder_);
  }
  std::string Write(const std::string& fileName, const std::string& content) {
    std::string path = folder_ + "/" + fileName;
    winsim::testing::WriteHostFile(path, content);
    return path;
  }
  std::string folder_;
};

}  // namespace

TEST_F(NetshToolTest, AddShowReplaceDelete) {
  std::string office = Write("Office WLAN.xml", Profile("office"));
  // The setup program's form: the quoted Windows path of the file.
  ToolRun run = RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(office)});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile office is added on interface Wi-Fi.\n", run.out);
  run = RunTool("netsh.exe", {"wlan", "add", "profile", "filename=Guest Net.xml"}, "", folder_);
  EXPECT_EQ(1, run.exitCode);  // not there yet
  EXPECT_EQ("The system cannot find the file specified.\n", run.out);
  Write("Guest Net.xml", Profile("Guest Net"));
  run = RunTool("netsh.exe", {"wlan", "add", "profile", "filename=Guest Net.xml", "user=current"}, "", folder_);
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile Guest Net is added on interface Wi-Fi.\n", run.out);

  run = RunTool("netsh.exe", {"wlan", "show", "profiles"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(Listing({"All User Profile     : office", "Current User Profile : Guest Net"}), run.out);

  // The same name again replaces the profile and keeps its place.
  Write("Office WLAN.xml", Profile("office", "NewSSID"));
  run = RunTool("netsh.exe", {"WLAN", "ADD", "PROFILE", OnZ(office)});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile office is updated on interface Wi-Fi.\n", run.out);
  std::vector<std::string> stored = StoredDocuments();
  ASSERT_EQ(2u, stored.size());
  int newOffice = 0;
  for (const auto& document : stored) newOffice += document == Profile("office", "NewSSID") ? 1 : 0;
  EXPECT_EQ(1, newOffice);
  EXPECT_EQ(Listing({"All User Profile     : office", "Current User Profile : Guest Net"}),
            RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);

  // Names are matched without case; the message names the stored profile.
  run = RunTool("netsh.exe", {"wlan", "delete", "profile", "OFFICE"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile \"office\" is deleted from interface \"Wi-Fi\".\n", run.out);
  run = RunTool("netsh.exe", {"wlan", "delete", "profile", "name=office"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("Profile \"office\" is not found on any interface.\n", run.out);
  run = RunTool("netsh.exe", {"wlan", "delete", "profile", "name=Guest Net", "interface=Wi-Fi"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(Listing({}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
  EXPECT_TRUE(StoredDocuments().empty());
}

TEST_F(NetshToolTest, KoreanProfileNames) {
  // "사무실" in UTF-8: the document's encoding; the command line reaches the
  // program in code page 949 and is matched against it.
  const std::string name = "\xEC\x82\xAC\xEB\xAC\xB4\xEC\x8B\xA4";
  std::string path = Write("kor.xml", Profile(name));
  EXPECT_EQ(0, RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(path)}).exitCode);
  EXPECT_EQ(Listing({"All User Profile     : " + name}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
  ToolRun run = RunTool("netsh.exe", {"wlan", "delete", "profile", name});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile \"" + name + "\" is deleted from interface \"Wi-Fi\".\n", run.out);
}

TEST_F(NetshToolTest, MalformedDocumentsAreRefusedAndNothingIsStored) {
  struct Row {
    const char* row;
    std::string content;
  } rows[] = {
      {"not XML", "this is not a profile"},
      {"unclosed element", "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>x</name>"},
      {"wrong namespace",
       "<WLANProfile xmlns=\"urn:other\"><name>x</name><SSIDConfig><SSID/></SSIDConfig></WLANProfile>"},
      {"wrong root", "<Profile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>x</name></Profile>"},
      {"no name", Profile("")},
      {"no SSID", "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>x</name>"
                  "</WLANProfile>"},
      {"empty file", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    std::string path = Write("bad profile.xml", row.content);
    ToolRun run = RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(path)});
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ("Profile format error 0x80420011:\n    The network connection profile is corrupted.\n", run.out);
    EXPECT_TRUE(StoredDocuments().empty());
  }
  EXPECT_EQ(Listing({}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
}

TEST_F(NetshToolTest, MalformedCommandLines) {
  std::string good = Write("good.xml", Profile("good"));
  struct Row {
    std::vector<std::string> args;
    std::string firstLine;
  } rows[] = {
      {{}, "Usage: netsh wlan add profile | delete profile | show profiles"},
      {{"wlan"}, "The following command was not found: wlan."},
      {{"lan", "show", "profiles"}, "The following command was not found: lan show profiles."},
      {{"wlan", "add"}, "The following command was not found: wlan add."},
      {{"wlan", "add", "profile"}, "One or more essential parameters were not entered."},
      {{"wlan", "delete", "profile"}, "One or more essential parameters were not entered."},
      {{"wlan", "delete", "profile", "name="}, "One or more essential parameters were not entered."},
      {{"wlan", "add", "profile", OnZ(good), "Wi-Fi", "all", "extra"},
       "One or more parameters for the command are not correct or missing."},
      {{"wlan", "add", "profile", OnZ(good), "user=nobody"},
       "One or more parameters for the command are not correct or missing."},
      {{"wlan", "add", "profile", "filename=a", "filename=b"},
       "One or more parameters for the command are not correct or missing."},
      {{"wlan", "add", "profile", OnZ(good), "interface=Ethernet"},
       "There is no such wireless interface on the system."},
      {{"wlan", "delete", "profile", "good", "interface=Ethernet"},
       "There is no such wireless interface on the system."},
      {{"wlan", "delete", "profile", "good", "interface=Wi-Fi"},
       "Profile \"good\" is not found on interface \"Wi-Fi\"."},
  };
  for (const auto& row : rows) {
    std::string line;
    for (const auto& arg : row.args) line += arg + " ";
    SCOPED_TRACE(line);
    ToolRun run = RunTool("netsh.exe", row.args);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ(row.firstLine, run.out.substr(0, run.out.find('\n')));
  }
  EXPECT_TRUE(StoredDocuments().empty());
}

namespace {

// The one stored document of the all-users folder.
std::string OnlyAllUsersFile() {
  std::string found;
  for (const auto& entry : std::filesystem::directory_iterator(InterfaceFolder())) {
    if (entry.is_regular_file()) {
      EXPECT_TRUE(found.empty());
      found = entry.path().string();
    }
  }
  return found;
}

std::string NameCachePath() { return winsim::MachineRoot() + "/cache/wlan_profiles"; }

}  // namespace

// netsh remembers the stored profiles' names between commands; what
// changed behind its back is read again.
TEST_F(NetshToolTest, ProfilesChangedBehindNetshAreReadAgain) {
  ASSERT_EQ(0, RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(Write("a.xml", Profile("office")))}).exitCode);
  ASSERT_EQ(0, RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(Write("b.xml", Profile("Guest Net"))),
                                     "user=current"}).exitCode);
  EXPECT_EQ(Listing({"All User Profile     : office", "Current User Profile : Guest Net"}),
            RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);

  winsim::testing::WriteHostFile(OnlyAllUsersFile(), Profile("moved office", "Elsewhere"));
  const std::string dropped = InterfaceFolder() + "/{FFFFFFFF-0000-4000-8000-000000000001}.xml";
  winsim::testing::WriteHostFile(dropped, Profile("dropped in"));
  winsim::testing::WriteHostFile(InterfaceFolder() + "/{FFFFFFFF-0000-4000-8000-000000000002}.xml", "no profile");
  EXPECT_EQ(Listing({"All User Profile     : moved office", "Current User Profile : Guest Net",
                     "All User Profile     : dropped in"}),
            RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
  EXPECT_EQ(1, RunTool("netsh.exe", {"wlan", "delete", "profile", "office"}).exitCode);
  EXPECT_EQ(0, RunTool("netsh.exe", {"wlan", "delete", "profile", "moved office"}).exitCode);

  std::filesystem::remove(dropped);
  EXPECT_EQ(Listing({"Current User Profile : Guest Net"}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
}

// A damaged cache, or an entry that no longer fits its file, is not
// believed.
TEST_F(NetshToolTest, NameCacheThatDoesNotFitIsNotBelieved) {
  ASSERT_EQ(0, RunTool("netsh.exe", {"wlan", "add", "profile", OnZ(Write("a.xml", Profile("office")))}).exitCode);
  EXPECT_EQ(Listing({"All User Profile     : office"}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
  const std::string cache = winsim::testing::ReadHostFile(NameCachePath());
  const size_t entry = cache.find("\toffice\n");
  ASSERT_NE(std::string::npos, entry) << cache;

  struct Row {
    const char* row;
    std::string content;
  } rows[] = {
      {"not a cache", "garbage\n"},
      {"cut short", cache.substr(0, entry)},
      {"a wrong size", [&] {
         std::string forged = cache;
         forged.replace(entry, 8, "\tforged\n");
         size_t size = forged.find('\t') + 1;  // the second field
         forged.insert(size, "1");
         return forged;
       }()},
      // Each file is saved once: a second entry for the same file, even one
      // that fits it, makes the whole cache doubtful.
      {"an entry twice", [&] {
         const size_t lineStart = cache.rfind('\n', entry) + 1;
         std::string line = cache.substr(lineStart, entry - lineStart) + "\tforged\n";
         return cache + line;
       }()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    winsim::testing::WriteHostFile(NameCachePath(), row.content);
    EXPECT_EQ(Listing({"All User Profile     : office"}), RunTool("netsh.exe", {"wlan", "show", "profiles"}).out);
  }
  std::filesystem::remove(NameCachePath());
  ToolRun run = RunTool("netsh.exe", {"wlan", "delete", "profile", "OFFICE"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Profile \"office\" is deleted from interface \"Wi-Fi\".\n", run.out);
}

// Two stored files of one name (laid there behind netsh): the one added
// first, whose file name sorts first, is the one a command finds.
TEST_F(NetshToolTest, OneNameInTwoFilesIsFoundInTheOrderAdded) {
  std::filesystem::create_directories(InterfaceFolder());
  const std::string first = InterfaceFolder() + "/{00000001-0000-4000-8000-000000000001}.xml";
  const std::string second = InterfaceFolder() + "/{00000002-0000-4000-8000-000000000002}.xml";
  winsim::testing::WriteHostFile(second, Profile("twin", "Second"));
  winsim::testing::WriteHostFile(first, Profile("twin", "First"));
  ASSERT_EQ(0, RunTool("netsh.exe", {"wlan", "delete", "profile", "TWIN"}).exitCode);
  EXPECT_FALSE(std::filesystem::exists(first));
  EXPECT_EQ(std::vector<std::string>{Profile("twin", "Second")}, StoredDocuments());
}
