#include "files_test_support.h"

#include <sys/stat.h>

#include "machine_fixture.h"
#include "winsim/handles.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace files_test {

void FilesTest::SetUp() {
  root_ = winsim::testing::FreshMachine();
  mkdir((root_ + "/drive_c/probe").c_str(), 0777);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
}

void FilesTest::TearDown() { SetCurrentDirectoryA("C:\\"); }

std::string FilesTest::Folder(const std::string& name) {
  std::string windows = "C:\\probe\\" + name;
  mkdir(Host(windows).c_str(), 0777);
  return windows;
}

std::string Host(const std::string& windowsPath) {
  return winsim::ResolvePathA(windowsPath.c_str(), winsim::kNoRedirection).host;
}

void PutFile(const std::string& windowsPath, const std::string& bytes) {
  winsim::testing::WriteHostFile(Host(windowsPath), bytes);
}

std::string FileBytes(const std::string& windowsPath) { return winsim::testing::ReadHostFile(Host(windowsPath)); }

bool Exists(const std::string& windowsPath) {
  winsim::ResolvedPath r = winsim::ResolvePathA(windowsPath.c_str(), winsim::kNoRedirection);
  return !r.error && r.exists;
}

void MarkAttributes(const std::string& windowsPath, DWORD attributes) {
  ASSERT_TRUE(SetFileAttributesA(windowsPath.c_str(), attributes)) << windowsPath << " err " << GetLastError();
}

long long HostMtimeNs(const std::string& windowsPath) {
  struct stat st {};
  if (stat(Host(windowsPath).c_str(), &st) != 0) return -1;
  return static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
}

bool CloseFile(HANDLE handle) { return winsim::ReleaseHandle(handle); }

StandardUser::StandardUser() {
  std::string error;
  EXPECT_TRUE(winsim::SetConfigValue("admin", "0", &error)) << error;
  EXPECT_FALSE(winsim::Config().admin);
}

StandardUser::~StandardUser() {
  std::string error;
  winsim::SetConfigValue("admin", "1", &error);
}

}  // namespace files_test
