// A second process for the registry tests: writes values into a key of
// HKEY_CURRENT_USER of the machine named by WINSIM_MACHINE.
//   registry_probe_child write <key> <prefix> <count>  - values <prefix>0.. as REG_DWORD
//   registry_probe_child hold <key> <name>             - one value, reports, waits to be killed
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "windows.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  std::string mode = argv[1];
  HKEY key;
  LSTATUS status =
      RegCreateKeyExA(HKEY_CURRENT_USER, argv[2], 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    std::fprintf(stderr, "RegCreateKeyExA: %d\n", status);
    return 1;
  }
  if (mode == "write" && argc == 5) {
    int count = std::atoi(argv[4]);
    for (int i = 0; i < count; ++i) {
      std::string name = argv[3] + std::to_string(i);
      DWORD value = static_cast<DWORD>(i);
      status = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof(value));
      if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "RegSetValueExA %s: %d\n", name.c_str(), status);
        return 1;
      }
    }
    return 0;
  }
  if (mode == "hold") {
    status = RegSetValueExA(key, argv[3], 0, REG_SZ, reinterpret_cast<const BYTE*>("kept"), 5);
    std::printf("%d\n", status);
    std::fflush(stdout);
    for (;;) pause();
  }
  return 2;
}
