// The simulated machine: its host folder, machine.conf and journal.
#pragma once
#include <optional>
#include <string>

namespace winsim {

struct MachineConfig {
  unsigned codepage = 949;
  std::string arch = "x64";  // "x64" or "x86"
  int dpi = 96;
  std::string user;          // default: the host user's name
  bool admin = true;
  bool shutdownPrivilege = true;
};

// Host folder of the machine ($WINSIM_MACHINE or ~/.winsim), without a
// trailing slash. The first use of a folder that holds no machine lays one
// out. The variable is looked at on every call, so a test may switch it.
std::string MachineRoot();

// Lays out a new machine in a folder that holds none (no machine.conf):
// drive C: with its folders, win.ini and the stand-in programs, then
// machine.conf. On an existing machine it changes nothing. Returns false and
// fills *error when the folder cannot be made.
bool InitMachine(const std::string& root, std::string* error);

// The machine's settings; machine.conf is re-read when it changes.
MachineConfig Config();
// The settings that conversions and path checks ask for on nearly every
// call, taken without copying the texts of the settings.
struct MachineNumbers {
  unsigned codepage = 949;
  bool admin = true;
  bool x64 = true;  // arch=x64
};
MachineNumbers ConfigNumbers();
std::optional<std::string> ConfigValue(const std::string& key);
bool SetConfigValue(const std::string& key, const std::string& value, std::string* error);

std::string DriveCRoot();   // MachineRoot() + "/drive_c"
std::string JournalDir();   // MachineRoot() + "/journal"
std::string DesktopDir();   // MachineRoot() + "/desktop"
std::string RunDir();       // MachineRoot() + "/run"
std::string RegistryPath(); // MachineRoot() + "/registry.db"

// The current image is a 32-bit program (see image_bits.cpp).
bool ImageIs32Bit();
// A 32-bit program on an x64 machine, as Windows' WOW64 runs it.
bool IsWow64();

// The end of the session after an accepted restart or shutdown request.
// The desktop registers what ends the programs that show windows, as
// Windows ends them; a process without a desktop goes on.
void SetSessionEndHandler(void (*handler)(unsigned flags));
void NotifySessionEnd(unsigned flags);

// Local time as "2026-12-07T10:42:08.123" (the journal's time format).
std::string NowIso8601();

// Appends one line (a '\n' is added) to a journal file under JournalDir(),
// atomically with respect to other processes.
void AppendJournalLine(const std::string& fileName, const std::string& line);

}  // namespace winsim
