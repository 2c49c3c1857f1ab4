// registry_writer.exe: a program of the machine that writes the registry
// in a loop, for the race tests. Arguments: <id> <count> <progress file>.
// Round i sets HKLM\Software\Race\Writer<id>\n<i> = i (REG_DWORD); every
// fourth round creates HKLM\Software\Race\Shared\w<id>_<i>, two rounds
// later it is deleted again; Shared's value last<id> is set to i. After a
// round has fully succeeded, "i\n" is appended to the host file <progress>.
// Exit code: 0 done, 10 + the step that failed.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "shlwapi.h"
#include "windows.h"

namespace {

int Round(const std::string& id, DWORD i, HKEY own, HKEY shared) {
  const std::string name = "n" + std::to_string(i);
  if (RegSetValueExA(own, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i) != ERROR_SUCCESS) {
    return 11;
  }
  if (i % 4 == 0) {
    HKEY sub = nullptr;
    const std::string subName = "w" + id + "_" + std::to_string(i);
    if (RegCreateKeyExA(shared, subName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr) != ERROR_SUCCESS) {
      return 12;
    }
    RegCloseKey(sub);
  } else if (i % 4 == 2) {
    const std::string subName = "w" + id + "_" + std::to_string(i - 2);
    if (SHDeleteKeyA(shared, subName.c_str()) != ERROR_SUCCESS) return 13;
  }
  const std::string last = "last" + id;
  if (RegSetValueExA(shared, last.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), sizeof i) != ERROR_SUCCESS) {
    return 14;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  const std::string id = argv[1];
  const DWORD count = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
  const int progress = open(argv[3], O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (progress < 0) return 3;
  HKEY own = nullptr, shared = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, ("Software\\Race\\Writer" + id).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &own, nullptr) != ERROR_SUCCESS ||
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Race\\Shared", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &shared,
                      nullptr) != ERROR_SUCCESS) {
    return 10;
  }
  for (DWORD i = 0; i < count; ++i) {
    if (int failed = Round(id, i, own, shared)) return failed;
    const std::string line = std::to_string(i) + "\n";
    if (write(progress, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 4;
  }
  RegCloseKey(own);
  RegCloseKey(shared);
  close(progress);
  return 0;
}
