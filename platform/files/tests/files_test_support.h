// Helpers shared by the files tests: a fresh machine per test, a probe
// folder under C:\probe, host-side access that bypasses the layer, and the
// standard-user switch.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace files_test {

class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes C:\probe\<name> (on the host, not through the layer) and returns
  // its Windows path, without a trailing backslash.
  std::string Folder(const std::string& name);
  // "<folder>\<name>"
  static std::string In(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

  std::string root_;  // the machine folder
};

// The host path behind a Windows path.
std::string Host(const std::string& windowsPath);
// Host-side file access.
void PutFile(const std::string& windowsPath, const std::string& bytes);
std::string FileBytes(const std::string& windowsPath);
bool Exists(const std::string& windowsPath);
// Sets attributes through the layer and checks that it worked.
void MarkAttributes(const std::string& windowsPath, DWORD attributes);
// The host's modification time in nanoseconds.
long long HostMtimeNs(const std::string& windowsPath);

// A file handle is closed with CloseHandle, which the process area
// provides; this area's tests drop the handle the way CloseHandle does.
bool CloseFile(HANDLE handle);

// While alive, the machine's user is a standard user (admin=0).
class StandardUser {
 public:
  StandardUser();
  ~StandardUser();
};

}  // namespace files_test
