// Test helpers: fresh machine folders and host-side file access.
#pragma once
#include <string>
#include <vector>

namespace winsim::testing {

// Makes a new, empty machine folder, points WINSIM_MACHINE at it and lays
// the machine out. Returns the folder. Old ones are removed at exit.
std::string FreshMachine();

// Host-side helpers that do not go through the layer.
std::string ReadHostFile(const std::string& hostPath);
void WriteHostFile(const std::string& hostPath, const std::string& bytes);
bool HostExists(const std::string& hostPath);
// A new empty host folder, removed at exit.
std::string TempHostDir();

// Folder of the programs of this build (build/bin).
std::string BinDir();

}  // namespace winsim::testing
