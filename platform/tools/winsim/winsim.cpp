// winsim: the host tool that lays out, configures and inspects a machine.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"
#include "winsim_run.h"

namespace {

const char kUsage[] =
    "usage: winsim init\n"
    "       winsim config KEY [VALUE]\n"
    "       winsim path WINDOWS-PATH\n"
    "       winsim cat WINDOWS-PATH\n"
    "       winsim run COMMAND-LINE\n"
    "The machine folder is $WINSIM_MACHINE, or ~/.winsim when it is unset.\n";

bool ValidConfig(const std::string& key, const std::string& value, std::string* why) {
  auto isNumber = [](const std::string& s) { return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos; };
  if (key == "codepage") {
    if (isNumber(value) && winsim::CodePageSupported(static_cast<unsigned>(std::stoul(value)))) return true;
    *why = "codepage must be a code page number this machine knows (for example 949)";
  } else if (key == "arch") {
    if (value == "x64" || value == "x86") return true;
    *why = "arch must be x64 or x86";
  } else if (key == "dpi") {
    if (isNumber(value) && value.size() < 5 && std::stoi(value) > 0) return true;
    *why = "dpi must be a positive number (96, 120, 144, 192 ...)";
  } else if (key == "user") {
    if (!value.empty() && value.find_first_of("\\/:*?\"<>|") == std::string::npos) return true;
    *why = "user must be a plain user name";
  } else if (key == "admin" || key == "shutdown_privilege") {
    if (value == "0" || value == "1") return true;
    *why = key + " must be 0 or 1";
  } else {
    *why = "unknown key '" + key + "' (codepage, arch, dpi, user, admin, shutdown_privilege)";
  }
  return false;
}

int Init() {
  std::string error;
  std::string root = winsim::MachineRoot();
  if (!winsim::InitMachine(root, &error)) {
    std::cerr << "winsim: cannot lay out the machine: " << error << "\n";
    return 1;
  }
  // The registry's base keys too, rather than at the first program's first
  // registry call.
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key) == ERROR_SUCCESS) RegCloseKey(key);
  std::cout << root << "\n";
  return 0;
}

int Config(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::cerr << kUsage;
    return 2;
  }
  std::string key = argv[2];
  if (argc == 3) {
    auto value = winsim::ConfigValue(key);
    if (!value) {
      std::cerr << "winsim: unknown key '" << key << "'\n";
      return 1;
    }
    std::cout << *value << "\n";
    return 0;
  }
  std::string why, error;
  if (!ValidConfig(key, argv[3], &why)) {
    std::cerr << "winsim: " << why << "\n";
    return 1;
  }
  if (!winsim::SetConfigValue(key, argv[3], &error)) {
    std::cerr << "winsim: " << error << "\n";
    return 1;
  }
  return 0;
}

// Paths on the host command line are UTF-8; the machine's own texts are in
// its code page.
winsim::ResolvedPath Resolve(const char* utf8) {
  return winsim::ResolvePath(winsim::Utf8ToUtf16(utf8));
}

int Path(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << kUsage;
    return 2;
  }
  winsim::ResolvedPath r = Resolve(argv[2]);
  if (r.error) {
    std::cerr << "winsim: not a valid Windows path: " << argv[2] << "\n";
    return 1;
  }
  std::cout << r.host << "\n";
  return 0;
}

int Cat(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << kUsage;
    return 2;
  }
  winsim::ResolvedPath r = Resolve(argv[2]);
  if (r.error || !r.exists || r.isDirectory) {
    std::cerr << "winsim: no such file: " << argv[2] << "\n";
    return 1;
  }
  std::ifstream in(r.host, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::cout << winsim::Utf16ToUtf8(winsim::ToUtf16(bytes.str(), winsim::ActiveCodePage()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  std::string command = argv[1];
  if (command == "init" && argc == 2) return Init();
  if (command == "config") return Config(argc, argv);
  if (command == "path") return Path(argc, argv);
  if (command == "cat") return Cat(argc, argv);
  if (command == "run" && argc >= 3) {
    // The rest of the line is the command line; separate words are joined
    // with blanks, so `winsim run "a b" c` and `winsim run 'a b c'` agree.
    std::string line = argv[2];
    for (int i = 3; i < argc; ++i) line += std::string(" ") + argv[i];
    return WinsimRun(line);
  }
  if (command == "-h" || command == "--help" || command == "help") {
    std::cout << kUsage;
    return 0;
  }
  std::cerr << kUsage;
  return 2;
}
