// The plug-in's key-tree removal, over the layer's registry: whole trees go,
// neighbours stay, a missing key and a refused deletion are reported.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../key_tree.h"
#include "machine_fixture.h"
#include "shlwapi.h"
#include "windows.h"
#include "winsim/machine.h"

namespace {

constexpr const char* kBase = "Software\\KeyTreeTest";

void Make(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr))
      << path;
  // Every key carries a value: a key with values must go as well.
  DWORD one = 1;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "v", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one));
  RegCloseKey(key);
}

bool Exists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string Under(const std::string& relative) { return std::string(kBase) + "\\" + relative; }

class KeyTree : public ::testing::Test {
 protected:
  void SetUp() override { winsim::testing::FreshMachine(); }
};

struct TreeRow {
  const char* row;
  std::vector<std::string> keys;  // made below kBase first
  std::string target;             // below kBase
  LONG status;
  std::vector<std::string> gone;  // below kBase
  std::vector<std::string> kept;  // below kBase
};

TEST_F(KeyTree, RemovesTheTreeAndNothingElse) {
  std::vector<std::string> many;
  for (int i = 0; i < 40; ++i) many.push_back("Wide\\Child" + std::to_string(i));
  std::vector<std::string> manyGone = many;
  manyGone.push_back("Wide");
  const std::string longName(255, 'n');

  const TreeRow rows[] = {
      {"a key without subkeys", {"Leaf", "Other"}, "Leaf", ERROR_SUCCESS, {"Leaf"}, {"Other"}},
      {"three levels with branches",
       {"Tree\\B\\C", "Tree\\B\\D", "Tree\\E", "Other"},
       "Tree",
       ERROR_SUCCESS,
       {"Tree", "Tree\\B", "Tree\\B\\C", "Tree\\B\\D", "Tree\\E"},
       {"Other"}},
      {"a middle key keeps its parent and siblings",
       {"Top\\Mid\\Low", "Top\\Side"},
       "Top\\Mid",
       ERROR_SUCCESS,
       {"Top\\Mid", "Top\\Mid\\Low"},
       {"Top", "Top\\Side"}},
      {"a sibling with the same prefix stays",
       {"Name\\Sub", "NameLonger\\Sub"},
       "Name",
       ERROR_SUCCESS,
       {"Name", "Name\\Sub"},
       {"NameLonger", "NameLonger\\Sub"}},
      {"other case in the path", {"Cased\\Sub"}, "CASED", ERROR_SUCCESS, {"Cased", "Cased\\Sub"}, {}},
      {"many subkeys", many, "Wide", ERROR_SUCCESS, manyGone, {}},
      {"a subkey name of 255 characters",
       {"Long\\" + longName},
       "Long",
       ERROR_SUCCESS,
       {"Long", "Long\\" + longName},
       {}},
      {"a missing key", {"Present"}, "Missing", ERROR_FILE_NOT_FOUND, {}, {"Present"}},
      {"a key below a missing parent", {"Present"}, "Missing\\Child", ERROR_FILE_NOT_FOUND, {}, {"Present"}},
  };
  for (const TreeRow& r : rows) {
    SCOPED_TRACE(r.row);
    for (const std::string& k : r.keys) Make(HKEY_CURRENT_USER, Under(k));
    EXPECT_EQ(r.status, eap::DeleteKeyTree(HKEY_CURRENT_USER, Under(r.target).c_str()));
    for (const std::string& k : r.gone) EXPECT_FALSE(Exists(HKEY_CURRENT_USER, Under(k))) << k;
    for (const std::string& k : r.kept) EXPECT_TRUE(Exists(HKEY_CURRENT_USER, Under(k))) << k;
    // The next row starts from an empty base key.
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_CURRENT_USER, kBase));
  }
}

TEST_F(KeyTree, PathIsRelativeToAnOpenKey) {
  Make(HKEY_LOCAL_MACHINE, Under("Open\\Inner\\Deep"));
  HKEY open = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_ALL_ACCESS, &open));
  EXPECT_EQ(ERROR_SUCCESS, eap::DeleteKeyTree(open, "Open\\Inner"));
  RegCloseKey(open);
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Under("Open\\Inner")));
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, Under("Open")));
}

TEST_F(KeyTree, RefusedDeletionIsReportedAndLeavesTheTree) {
  Make(HKEY_LOCAL_MACHINE, Under("Guarded\\Sub"));
  // A standard user reads HKLM but may not delete there.
  ASSERT_TRUE(winsim::SetConfigValue("admin", "0", nullptr));
  const LONG status = eap::DeleteKeyTree(HKEY_LOCAL_MACHINE, Under("Guarded").c_str());
  ASSERT_TRUE(winsim::SetConfigValue("admin", "1", nullptr));
  EXPECT_EQ(ERROR_ACCESS_DENIED, status);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, Under("Guarded\\Sub")));
}

}  // namespace
