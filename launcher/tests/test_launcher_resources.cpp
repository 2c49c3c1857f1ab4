// The launcher's resource script: its manifest, and nothing else.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "machine_fixture.h"
#include "windows.h"

namespace {

TEST(LauncherResources, OnlyTheManifest) {
  const std::string manifest = winsim::testing::ReadHostFile(LAUNCHER_MANIFEST_FILE);
  SetLastError(0xdeadbeef);
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(CREATEPROCESS_MANIFEST_RESOURCE_ID), RT_MANIFEST);
  ASSERT_NE(found, nullptr) << GetLastError();
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  EXPECT_EQ(std::string(data, SizeofResource(nullptr, found)), manifest);
  for (const char* part : {"level=\"asInvoker\"", "uiAccess=\"false\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }

  // The .res file holds the empty entry that starts it and the manifest.
  const std::string res = winsim::testing::ReadHostFile(LAUNCHER_RES_FILE);
  int entries = 0;
  for (size_t at = 0; at + 8 <= res.size(); ++entries) {
    DWORD dataSize = 0, headerSize = 0;
    std::memcpy(&dataSize, res.data() + at, 4);
    std::memcpy(&headerSize, res.data() + at + 4, 4);
    ASSERT_GE(headerSize, 8u);
    at = (at + headerSize + dataSize + 3) & ~size_t{3};
  }
  EXPECT_EQ(entries, 2);
  for (LPCSTR type : {RT_ICON, RT_GROUP_ICON, RT_DIALOG, RT_VERSION}) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(1), type), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  }
}

}  // namespace
