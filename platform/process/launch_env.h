// The variables through which CreateProcessA hands a child what Windows
// would keep in the child's process parameters: its command line, image
// path, current directory and show command.
#pragma once
#include <optional>
#include <string>

namespace winsim::process {

inline constexpr char kMachineVar[] = "WINSIM_MACHINE";
inline constexpr char kCommandLineVar[] = "WINSIM_CMDLINE";
inline constexpr char kImageVar[] = "WINSIM_IMAGE";
inline constexpr char kCurrentDirectoryVar[] = "WINSIM_CWD";
inline constexpr char kShowVar[] = "WINSIM_SHOW";
inline constexpr char kPidVar[] = "WINSIM_PID";

// The value of a launch variable, but only when the variables were made for
// this very process (WINSIM_PID equals our pid). A program started from a
// host shell that happened to inherit them from a layer process sees none.
std::optional<std::string> OwnLaunchVariable(const char* name);

// Windows path of the running program's image in the ANSI code page, as
// GetModuleFileNameA(NULL) reports it. Never a host path.
const std::string& CurrentImagePathA();

// Folder part of a Windows path ("C:\a\b.exe" -> "C:\a", "C:\b.exe" -> "C:\").
std::string WindowsFolderOf(const std::string& path);

}  // namespace winsim::process
