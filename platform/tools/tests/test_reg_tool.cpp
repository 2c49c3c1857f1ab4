// reg.exe: what it prints (converted from the machine's code page to
// UTF-8 for the host terminal), its exit codes, and its answers to bad
// command lines.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "tool_runner.h"
#include "windows.h"
#include "winsim/machine.h"

using tools_test::RunTool;
using tools_test::ToolRun;

namespace {

// "제품 한글 1.0" in code page 949 and in UTF-8.
const std::string kProductAnsi = "\xC1\xA6\xC7\xB0 \xC7\xD1\xB1\xDB 1.0";
const std::string kProductUtf8 = "\xEC\xA0\x9C\xED\x92\x88 \xED\x95\x9C\xEA\xB8\x80 1.0";

class RegToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Probe", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key_, nullptr));
  }
  void TearDown() override { RegCloseKey(key_); }

  void SetString(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1)));
  }
  void SetBytes(HKEY key, const char* name, DWORD type, const std::string& bytes) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                            static_cast<DWORD>(bytes.size())));
  }
  HKEY Subkey(const char* name) {
    HKEY sub = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key_, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
    return sub;
  }

  HKEY key_ = nullptr;
};

}  // namespace

TEST_F(RegToolTest, KoreanTextWrittenWithTheAFunctionsIsShownAsWritten) {
  SetString(key_, "Name", kProductAnsi);
  ToolRun run = RunTool("reg.exe", {"query", "HKLM\\Software\\Probe", "/v", "Name"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("\nHKEY_LOCAL_MACHINE\\Software\\Probe\n    Name    REG_SZ    " + kProductUtf8 + "\n\n", run.out);
  EXPECT_EQ("", run.err);

  // Stored as UTF-16: 9 characters and the terminator.
  WCHAR wide[32];
  DWORD size = sizeof(wide), type = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"Name", nullptr, &type, reinterpret_cast<BYTE*>(wide), &size));
  EXPECT_EQ(20u, size);
  EXPECT_EQ(std::u16string(u"\uC81C\uD488 \uD55C\uAE00 1.0"), std::u16string(wide));

  // And the other way: data given to reg.exe reaches the A functions in 949.
  run = RunTool("reg.exe", {"add", "HKLM\\Software\\Probe", "/v", "Other", "/d", kProductUtf8, "/f"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("The operation completed successfully.\n", run.out);
  char ansi[32] = {};
  size = sizeof(ansi);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "Other", nullptr, nullptr, reinterpret_cast<BYTE*>(ansi), &size));
  EXPECT_EQ(kProductAnsi, std::string(ansi));
}

TEST_F(RegToolTest, QueryShowsEveryTypeAsWindowsDoes) {
  DWORD dword = 0x123;
  SetString(key_, "Text", "Hello, World");
  SetBytes(key_, "Count", REG_DWORD, std::string(reinterpret_cast<char*>(&dword), 4));
  SetString(key_, "Path", "%SystemRoot%\\x", REG_EXPAND_SZ);
  SetBytes(key_, "List", REG_MULTI_SZ, std::string("one\0two\0\0", 9));
  SetBytes(key_, "Blob", REG_BINARY, std::string("\x01\xAB\x00\xff", 4));
  SetBytes(key_, "Big", REG_QWORD, std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
  SetString(key_, "Empty", "");
  SetString(key_, nullptr, "dflt");
  HKEY sub = Subkey("Child");
  RegCloseKey(sub);

  ToolRun run = RunTool("reg.exe", {"query", "hklm\\software\\probe\\"});
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ(
      "\nHKEY_LOCAL_MACHINE\\software\\probe\n"
      "    Text    REG_SZ    Hello, World\n"
      "    Count    REG_DWORD    0x123\n"
      "    Path    REG_EXPAND_SZ    %SystemRoot%\\x\n"
      "    List    REG_MULTI_SZ    one\\0two\n"
      "    Blob    REG_BINARY    01AB00FF\n"
      "    Big    REG_QWORD    0x102030405060708\n"
      "    Empty    REG_SZ    \n"
      "    (Default)    REG_SZ    dflt\n"
      "\n"
      "HKEY_LOCAL_MACHINE\\software\\probe\\Child\n",
      run.out);
}

TEST_F(RegToolTest, RecursiveQueriesAndSearches) {
  SetString(key_, "Wine", "First instance");
  HKEY sub = Subkey("subkey");
  SetString(sub, "Wine", "Second instance");
  SetString(sub, "Other", "x");
  HKEY empty = Subkey("subkey\\empty");
  RegCloseKey(empty);
  RegCloseKey(sub);

  struct Row {
    const char* row;
    std::vector<std::string> args;
    int exitCode;
    std::string out;
  } rows[] = {
      {"all, recursive",
       {"query", "HKLM\\Software\\Probe", "/s"},
       0,
       "\nHKEY_LOCAL_MACHINE\\Software\\Probe\n    Wine    REG_SZ    First instance\n\n"
       "HKEY_LOCAL_MACHINE\\Software\\Probe\\subkey\n    Wine    REG_SZ    Second instance\n"
       "    Other    REG_SZ    x\n\n"
       "HKEY_LOCAL_MACHINE\\Software\\Probe\\subkey\\empty\n\n"},
      {"one value, searched",
       {"query", "HKLM\\Software\\Probe", "/v", "wine", "/s"},
       0,
       "\nHKEY_LOCAL_MACHINE\\Software\\Probe\n    wine    REG_SZ    First instance\n\n"
       "HKEY_LOCAL_MACHINE\\Software\\Probe\\subkey\n    wine    REG_SZ    Second instance\n\n"
       "End of search: 2 match(es) found.\n"},
      {"search without match", {"query", "HKLM\\Software\\Probe", "/v", "None", "/s"}, 1,
       "\nEnd of search: 0 match(es) found.\n"},
      {"subkeys only", {"query", "HKLM\\Software\\Probe\\subkey\\empty"}, 0, "\n"},
      {"default value not set", {"query", "HKLM\\Software\\Probe", "/ve"}, 0,
       "\nHKEY_LOCAL_MACHINE\\Software\\Probe\n    (Default)    REG_SZ    (value not set)\n\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ToolRun run = RunTool("reg.exe", row.args);
    EXPECT_EQ(row.exitCode, run.exitCode);
    EXPECT_EQ(row.out, run.out);
  }
}

TEST_F(RegToolTest, AddAndDeleteChangeTheRegistry) {
  struct Row {
    const char* row;
    std::vector<std::string> args;
    std::string input;  // answers to reg.exe's questions
    int exitCode;
  } rows[] = {
      {"new key", {"add", "HKCU\\Software\\Made\\Deep"}, "", 0},
      {"dword in hex", {"add", "HKCU\\Software\\Made", "/v", "N", "/t", "REG_DWORD", "/d", "0x10"}, "", 0},
      {"overwrite refused", {"add", "HKCU\\Software\\Made", "/v", "N", "/t", "REG_DWORD", "/d", "5"}, "n\n", 0},
      {"multi string", {"add", "HKCU\\Software\\Made", "/v", "M", "/t", "REG_MULTI_SZ", "/d", "a#b", "/s", "#"}, "", 0},
      {"default value", {"add", "HKCU\\Software\\Made", "/ve", "/d", "top"}, "", 0},
      {"binary", {"add", "HKCU\\Software\\Made", "/v", "B", "/t", "REG_BINARY", "/d", "00ff10"}, "", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    ToolRun run = RunTool("reg.exe", row.args, row.input);
    EXPECT_EQ(row.exitCode, run.exitCode);
    EXPECT_EQ("", run.err);
  }
  HKEY made;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Made", 0, KEY_ALL_ACCESS, &made));
  BYTE data[16];
  DWORD size = sizeof(data), type = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(made, "N", nullptr, &type, data, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(0, memcmp(data, "\x10\0\0\0", 4));
  size = sizeof(data);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(made, "M", nullptr, &type, data, &size));
  EXPECT_EQ(std::string("a\0b\0\0", 5), std::string(reinterpret_cast<char*>(data), size));
  size = sizeof(data);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(made, "", nullptr, &type, data, &size));
  EXPECT_EQ(std::string("top\0", 4), std::string(reinterpret_cast<char*>(data), size));
  size = sizeof(data);
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(made, "B", nullptr, &type, data, &size));
  EXPECT_EQ(std::string("\x00\xff\x10", 3), std::string(reinterpret_cast<char*>(data), size));

  // Deleting: refused by the user, then one value, all values, the key.
  EXPECT_EQ(0, RunTool("reg.exe", {"delete", "HKCU\\Software\\Made"}, "no\n").exitCode);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(made, "N", nullptr, nullptr, nullptr, &size));
  ToolRun run = RunTool("reg.exe", {"delete", "HKCU\\Software\\Made", "/v", "N"}, "y\n");
  EXPECT_EQ(0, run.exitCode);
  EXPECT_EQ("Delete the registry value N (Yes/No)? The operation completed successfully.\n", run.out);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(made, "N", nullptr, nullptr, nullptr, &size));
  run = RunTool("reg.exe", {"delete", "HKCU\\Software\\Made", "/v", "N", "/f"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("ERROR: The system was unable to find the specified registry key or value.\n", run.err);
  EXPECT_EQ(0, RunTool("reg.exe", {"delete", "HKCU\\Software\\Made", "/va", "/f"}).exitCode);
  char name[32];
  DWORD nameSize = sizeof(name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumValueA(made, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(0, RunTool("reg.exe", {"delete", "HKCU\\Software\\Made", "/f"}).exitCode);
  EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExA(made, "M", nullptr, nullptr, nullptr, &size));
  RegCloseKey(made);
  EXPECT_EQ(1, RunTool("reg.exe", {"query", "HKCU\\Software\\Made"}).exitCode);
}

TEST_F(RegToolTest, MissingKeysAndRefusedChanges) {
  ToolRun run = RunTool("reg.exe", {"query", "HKLM\\Software\\Nothing"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("", run.out);
  EXPECT_EQ("ERROR: The system was unable to find the specified registry key or value.\n", run.err);

  run = RunTool("reg.exe", {"add", "HKLM\\Software\\Denied", "/f"});
  EXPECT_EQ(0, run.exitCode);
  // A standard user may not change HKEY_LOCAL_MACHINE.
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  run = RunTool("reg.exe", {"add", "HKLM\\Software\\Denied2", "/f"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("ERROR: Access is denied.\n", run.err);
  run = RunTool("reg.exe", {"delete", "HKLM\\Software\\Denied", "/f"});
  EXPECT_EQ(1, run.exitCode);
  EXPECT_EQ("ERROR: Access is denied.\n", run.err);
  EXPECT_EQ(0, RunTool("reg.exe", {"query", "HKLM\\Software\\Denied"}).exitCode);
}

TEST_F(RegToolTest, MalformedCommandLinesGetUsageErrors) {
  struct Row {
    std::vector<std::string> args;
    std::string err;
  } rows[] = {
      {{}, "ERROR: Invalid syntax.\nType \"REG /?\" for usage.\n"},
      {{"frobnicate"}, "ERROR: Invalid syntax.\nType \"REG /?\" for usage.\n"},
      {{"query"}, "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKLM\\Software\\Probe", "/v"}, "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKLM\\Software\\Probe", "/v", "a", "/ve"},
       "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKLM\\Software\\Probe", "/s", "/s"}, "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKLM\\Software\\Probe", "/reg:32", "/reg:64"},
       "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKLM\\Software\\Probe", "extra"}, "ERROR: Invalid syntax.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "HKXX\\Software"}, "ERROR: Invalid key name.\nType \"REG QUERY /?\" for usage.\n"},
      {{"query", "\\\\remote\\HKLM\\Software"}, "ERROR: Invalid key name.\nType \"REG QUERY /?\" for usage.\n"},
      {{"add", "HKLM\\Software\\Probe", "/v", "x", "/t", "REG_FOO"},
       "ERROR: Invalid syntax.\nType \"REG ADD /?\" for usage.\n"},
      {{"add", "HKLM\\Software\\Probe", "/v", "x", "/t", "REG_DWORD", "/d", "12z"},
       "ERROR: Invalid syntax. Specify valid numeric value for '/d'.\nType \"REG ADD /?\" for usage.\n"},
      {{"add", "HKLM\\Software\\Probe", "/v", "x", "/t", "REG_DWORD", "/d", "0x100000000"},
       "ERROR: Invalid syntax. Specify valid numeric value for '/d'.\nType \"REG ADD /?\" for usage.\n"},
      {{"add", "HKLM\\Software\\Probe", "/v", "x", "/t", "REG_BINARY", "/d", "abc"},
       "ERROR: Invalid syntax. Specify valid hexadecimal value for '/d'.\nType \"REG ADD /?\" for usage.\n"},
      {{"add", "HKLM\\Software\\Probe", "/v", "x", "/s", "#"},
       "ERROR: Invalid syntax.\nType \"REG ADD /?\" for usage.\n"},
      {{"delete", "HKLM\\Software\\Probe", "/v", "x", "/va"},
       "ERROR: Invalid syntax.\nType \"REG DELETE /?\" for usage.\n"},
      {{"delete", "HKLM", "/f"}, "ERROR: Invalid key name.\nType \"REG DELETE /?\" for usage.\n"},
      {{"add", std::string(300, 'k')}, "ERROR: Invalid key name.\nType \"REG ADD /?\" for usage.\n"},
      {{"add", "HKCU\\" + std::string(300, 'k'), "/f"}, "ERROR: The parameter is incorrect.\n"},
  };
  for (const auto& row : rows) {
    std::string line;
    for (const auto& arg : row.args) line += arg.substr(0, 40) + " ";
    SCOPED_TRACE(line);
    ToolRun run = RunTool("reg.exe", row.args);
    EXPECT_EQ(1, run.exitCode);
    EXPECT_EQ(row.err, run.err);
    EXPECT_EQ("", run.out);
  }
  // Nothing of the refused lines reached the registry.
  DWORD size = 0;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key_, "x", nullptr, nullptr, nullptr, &size));

  for (const char* help : {"/?", "-?"}) {
    ToolRun run = RunTool("reg.exe", {"query", help});
    EXPECT_EQ(0, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("REG QUERY KeyName"));
  }
}
