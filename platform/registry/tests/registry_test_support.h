// Shared pieces of the registry tests.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "machine_fixture.h"
#include "windows.h"

namespace registry_test {

inline std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

inline std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    if (!text.empty()) text += ' ';
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

// A test on a machine of its own, with a scratch key in HKCU.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    winsim::testing::FreshMachine();
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RegistryTest", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key_, nullptr));
  }
  void TearDown() override {
    if (key_) RegCloseKey(key_);
  }

  // The key exists below `root`.
  static bool Exists(HKEY root, const char* path, REGSAM sam = KEY_READ) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExA(root, path, 0, sam, &key);
    if (status == ERROR_SUCCESS && key != root) RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }

  HKEY key_ = nullptr;
};

}  // namespace registry_test
