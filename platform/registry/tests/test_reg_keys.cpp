// Creating, opening, enumerating and deleting keys, as measured on Windows
// (64-bit process), plus the registry view and the standard-user rule.
#include <cstring>
#include <string>
#include <vector>

#include "registry_test_support.h"
#include "shlwapi.h"
#include "winsim/machine.h"

using registry_test::RegistryTest;

namespace {

const HKEY kSentinel = reinterpret_cast<HKEY>(0xdeadbeef);

struct CreateRow {
  const char* row;
  HKEY root;
  std::string path;
  LSTATUS status;
  DWORD disposition;    // when created or opened
  const char* present;  // a key that must exist afterwards (below root)
};

std::vector<std::string> Subkeys(HKEY key) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD size = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, size);
  }
  return names;
}

class AdminOff {
 public:
  AdminOff() { winsim::SetConfigValue("admin", "0", nullptr); }
  ~AdminOff() { winsim::SetConfigValue("admin", "1", nullptr); }
};

}  // namespace

TEST_F(RegistryTest, CreateKeyRowsMatchWindows) {
  const CreateRow rows[] = {
      {"new key in HKLM", HKEY_LOCAL_MACHINE, "Software\\Probe\\New", ERROR_SUCCESS, REG_CREATED_NEW_KEY,
       "Software\\Probe\\New"},
      {"new key in HKCU", HKEY_CURRENT_USER, "Software\\Probe\\New", ERROR_SUCCESS, REG_CREATED_NEW_KEY,
       "Software\\Probe\\New"},
      {"existing key, other case", HKEY_LOCAL_MACHINE, "SOFTWARE\\probe\\NEW", ERROR_SUCCESS,
       REG_OPENED_EXISTING_KEY, "Software\\Probe\\New"},
      {"missing intermediate keys", HKEY_LOCAL_MACHINE, "Software\\Probe\\A\\B\\C", ERROR_SUCCESS,
       REG_CREATED_NEW_KEY, "Software\\Probe\\A\\B"},
      {"trailing backslash", HKEY_LOCAL_MACHINE, "Software\\Probe\\Trail\\", ERROR_SUCCESS, REG_CREATED_NEW_KEY,
       "Software\\Probe\\Trail"},
      {"doubled backslash", HKEY_LOCAL_MACHINE, "Software\\Probe\\Dbl\\\\Inner", ERROR_SUCCESS,
       REG_CREATED_NEW_KEY, "Software\\Probe\\Dbl\\Inner"},
      {"leading backslash", HKEY_LOCAL_MACHINE, "\\Software\\Probe\\Lead", ERROR_BAD_PATHNAME, 0, nullptr},
      {"component of 255 characters", HKEY_LOCAL_MACHINE, "Software\\" + std::string(255, 'k'), ERROR_SUCCESS,
       REG_CREATED_NEW_KEY, nullptr},
      {"component of 256 characters", HKEY_LOCAL_MACHINE, "Software\\" + std::string(256, 'k'),
       ERROR_INVALID_PARAMETER, 0, nullptr},
      {"bad handle", reinterpret_cast<HKEY>(0x1234), "X", ERROR_INVALID_HANDLE, 0, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY key = kSentinel;
    DWORD disposition = 0xdeadbeef;
    LSTATUS status = RegCreateKeyExA(row.root, row.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                     &disposition);
    EXPECT_EQ(row.status, status);
    if (status == ERROR_SUCCESS) {
      EXPECT_EQ(row.disposition, disposition);
      EXPECT_NE(nullptr, key);
      RegCloseKey(key);
    } else {
      EXPECT_EQ(nullptr, key);
      EXPECT_EQ(0xdeadbeefu, disposition);
    }
    if (row.present) {
      EXPECT_TRUE(Exists(row.root, row.present));
    }
  }
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\Probe\\Lead"));
  HKEY key;
  std::string tooLong = "Software\\" + std::string(256, 'k');
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_LOCAL_MACHINE, tooLong.c_str(), 0, KEY_READ, &key));
}

TEST_F(RegistryTest, KeysKeepTheSpellingTheyWereCreatedWithAndEnumerateSorted) {
  HKEY parent;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key_, "Spelling", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &parent,
                                           nullptr));
  for (const char* name : {"MiXeD", "beta", "Alpha", "mixed", "GAMMA"}) {
    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, name, 0, nullptr, 0, KEY_READ, nullptr, &child, nullptr));
    RegCloseKey(child);
  }
  EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "GAMMA", "MiXeD"}), Subkeys(parent));

  char name[8];
  DWORD size = 5;  // "MiXeD" needs 6 with its terminator
  memset(name, 0xCC, sizeof(name));
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumKeyExA(parent, 3, name, &size, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(static_cast<char>(0xCC), name[0]);
  size = sizeof(name);
  EXPECT_EQ(ERROR_NO_MORE_ITEMS, RegEnumKeyExA(parent, 4, name, &size, nullptr, nullptr, nullptr, nullptr));
  FILETIME written{};
  size = sizeof(name);
  EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(parent, 0, name, &size, nullptr, nullptr, nullptr, &written));
  EXPECT_NE(0u, written.dwHighDateTime);
  RegCloseKey(parent);
}

TEST_F(RegistryTest, OpenKeyRowsMatchWindows) {
  HKEY made;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\OpenProbe\\Inner", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &made, nullptr));
  RegCloseKey(made);
  struct Row {
    const char* row;
    bool exAPI;  // RegOpenKeyExA, else RegOpenKeyA
    const char* path;
    LSTATUS status;
  } rows[] = {
      {"missing key", true, "Software\\OpenProbe\\Missing", ERROR_FILE_NOT_FOUND},
      {"missing parent", true, "Software\\NoSuchParent\\Inner", ERROR_FILE_NOT_FOUND},
      {"other case", true, "SOFTWARE\\openprobe\\INNER", ERROR_SUCCESS},
      {"trailing backslash", true, "Software\\OpenProbe\\Inner\\", ERROR_SUCCESS},
      {"leading backslash", true, "\\Software\\OpenProbe", ERROR_BAD_PATHNAME},
      {"uninstall key, all access", true, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
       ERROR_SUCCESS},
      {"WOW6432Node is an ordinary key", true, "SOFTWARE\\WOW6432Node", ERROR_SUCCESS},
      {"services", true, "SYSTEM\\CurrentControlSet\\Services", ERROR_SUCCESS},
      {"classes CLSID", true, "Software\\Classes\\CLSID", ERROR_SUCCESS},
      {"RegOpenKeyA missing key", false, "Software\\OpenProbe\\Missing", ERROR_FILE_NOT_FOUND},
      {"RegOpenKeyA other case", false, "software\\OPENPROBE", ERROR_SUCCESS},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY key = kSentinel;
    SetLastError(0xdeadbeef);  // registry functions report through their result only
    LSTATUS status = row.exAPI ? RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.path, 0, KEY_ALL_ACCESS, &key)
                               : RegOpenKeyA(HKEY_LOCAL_MACHINE, row.path, &key);
    EXPECT_EQ(row.status, status);
    EXPECT_EQ(0xdeadbeefu, GetLastError());
    if (status == ERROR_SUCCESS) {
      EXPECT_NE(nullptr, key);
      EXPECT_NE(HKEY_LOCAL_MACHINE, key);
      EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    } else {
      EXPECT_EQ(nullptr, key);
    }
  }
}

TEST_F(RegistryTest, EmptySubkeyReturnsTheSameHandle) {
  for (const char* subkey : {static_cast<const char*>(nullptr), ""}) {
    SCOPED_TRACE(subkey ? "empty" : "NULL");
    HKEY key = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyA(key_, subkey, &key));
    EXPECT_EQ(key_, key);
    key = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, subkey, &key));
    EXPECT_EQ(HKEY_LOCAL_MACHINE, key);
  }
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(HKEY_LOCAL_MACHINE));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(nullptr));
  // ".." is an ordinary name in the registry.
  HKEY key;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(key_, "..", 0, KEY_READ, &key));
}

TEST_F(RegistryTest, DeleteKeyRowsMatchWindows) {
  auto make = [](const char* path) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    DWORD one = 1;
    RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4);
    RegCloseKey(key);
  };
  make("Software\\DelProbe\\Tree\\Sub\\Deeper");
  make("Software\\DelProbe\\Leaf");

  EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Missing"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\NoParent\\Missing"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Tree"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Missing"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, "software\\delprobe\\LEAF"));
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Leaf"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, SHDeleteKeyA(HKEY_LOCAL_MACHINE, ""));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyA(HKEY_LOCAL_MACHINE, nullptr));

  // SHDeleteKeyA takes the whole tree, even while a handle to a subkey is
  // open; writing through that handle then fails with ERROR_KEY_DELETED.
  HKEY sub;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Tree\\Sub", 0, KEY_ALL_ACCESS, &sub));
  EXPECT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\DELPROBE\\tree"));
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Tree"));
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\DelProbe\\Tree\\Sub\\Deeper"));
  DWORD one = 1;
  EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(sub, "w", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  BYTE data[4];
  DWORD size = sizeof(data);
  EXPECT_EQ(ERROR_KEY_DELETED, RegQueryValueExA(sub, "v", nullptr, nullptr, data, &size));
  HKEY again = kSentinel;
  EXPECT_EQ(ERROR_KEY_DELETED, RegCreateKeyExA(sub, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &again, nullptr));
  // A key made again at the same path is a new key: the old handle stays dead.
  make("Software\\DelProbe\\Tree\\Sub");
  EXPECT_EQ(ERROR_KEY_DELETED, RegSetValueExA(sub, "w", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(sub));
}

TEST_F(RegistryTest, HandleRightsAreChecked) {
  HKEY readOnly;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\RegistryTest", 0, KEY_READ, &readOnly));
  DWORD one = 1;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(readOnly, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(readOnly, "v"));
  RegCloseKey(readOnly);

  HKEY setOnly;
  ASSERT_EQ(ERROR_SUCCESS,
            RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\RegistryTest", 0, KEY_SET_VALUE, &setOnly));
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(setOnly, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  DWORD size = 4;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegQueryValueExA(setOnly, "v", nullptr, nullptr, nullptr, &size));
  char name[16];
  size = sizeof(name);
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegEnumKeyExA(setOnly, 0, name, &size, nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(setOnly);
}

TEST_F(RegistryTest, StandardUserCannotChangeLocalMachine) {
  HKEY made;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &made, nullptr));
  RegCloseKey(made);
  AdminOff standardUser;
  DWORD one = 1;
  HKEY key = kSentinel;
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Denied", 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
  EXPECT_EQ(nullptr, key);
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Denied", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, KEY_ALL_ACCESS, &key));
  EXPECT_EQ(ERROR_ACCESS_DENIED,
            RegSetValueExA(HKEY_LOCAL_MACHINE, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_ACCESS_DENIED, SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Shared"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, SHDeleteKeyA(HKEY_CLASSES_ROOT, "CLSID"));
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\Denied"));

  // Reading works, through an existing-key create too.
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  RegCloseKey(key);
  DWORD disposition = 0;
  EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, nullptr, 0, KEY_READ,
                                           nullptr, &key, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  RegCloseKey(key);
  // RegOpenKeyA asks for the most it may have: reading.
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Shared", &key));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  RegCloseKey(key);

  // The user's own hive stays writable.
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Mine", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegCloseKey(key);
}

TEST_F(RegistryTest, ThirtyTwoBitViewGoesThroughWow6432Node) {
  struct Row {
    const char* row;
    HKEY root;
    const char* written;  // as the 32-bit view names it
    const char* stored;   // where the 64-bit view finds it, below HKLM
  } rows[] = {
      {"software key", HKEY_LOCAL_MACHINE, "Software\\ViewProbe", "SOFTWARE\\WOW6432Node\\ViewProbe"},
      {"explicit WOW6432Node is not doubled", HKEY_LOCAL_MACHINE, "Software\\WOW6432Node\\Twice",
       "Software\\WOW6432Node\\Twice"},
      {"classes root", HKEY_CLASSES_ROOT, "CLSID\\{11111111-2222-3333-4444-555555555555}",
       "Software\\Classes\\WOW6432Node\\CLSID\\{11111111-2222-3333-4444-555555555555}"},
      {"outside Software", HKEY_LOCAL_MACHINE, "SYSTEM\\ViewProbe", "SYSTEM\\ViewProbe"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(row.root, row.written, 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, row.stored));
    EXPECT_TRUE(Exists(row.root, row.written, KEY_READ | KEY_WOW64_32KEY));
  }
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\ViewProbe"));
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "CLSID\\{11111111-2222-3333-4444-555555555555}"));

  // A 32-bit machine has no second view.
  winsim::SetConfigValue("arch", "x86", nullptr);
  HKEY key;
  EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\X86Probe", 0, nullptr, 0,
                                           KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
  RegCloseKey(key);
  winsim::SetConfigValue("arch", "x64", nullptr);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Software\\X86Probe"));
}

TEST_F(RegistryTest, CurrentUserIsTheMachineUsersKey) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\WhoAmI", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  RegCloseKey(key);
  std::string user = winsim::Config().user;
  EXPECT_TRUE(Exists(HKEY_USERS, (user + "\\Software\\WhoAmI").c_str()));
  EXPECT_TRUE(Exists(HKEY_USERS, ".DEFAULT"));
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));

  // Another user signed in: HKCU is that user's key, made on first use.
  winsim::SetConfigValue("user", "Second", nullptr);
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\WhoAmI"));
  EXPECT_TRUE(Exists(HKEY_USERS, "Second\\Environment"));
  winsim::SetConfigValue("user", user, nullptr);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\WhoAmI"));
}
