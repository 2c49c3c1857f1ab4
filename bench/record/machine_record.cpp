// machine_record <source folder>: prints one normalised text record of what
// the setup program leaves on a machine: its folders and files, its
// registry keys, its install log and the outcome in its configuration copy.
// The same source builds for the simulated machine and for Windows; two
// records of the same scenario are meant to be compared line by line.
#include <string>
#include <vector>

#include "record_files.h"
#include "record_log.h"
#include "record_registry.h"
#include "record_text.h"
#include "shlobj.h"
#include "windows.h"

namespace {

// Fixed spellings, not the system's answers: Wine spells its folders in
// lower case, and the headers of the two records should not differ by that.
const char kSystem[] = "C:\\Windows\\System32";

}  // namespace

int main(int argc, char** argv) {
  record::Placeholders placeholders;
  if (argc == 2) placeholders.source = record::Utf8FromAnsi(argv[1]);
  while (!placeholders.source.empty() && placeholders.source.back() == '\\') placeholders.source.pop_back();
  if (placeholders.source.empty()) {
    record::Line("usage: machine_record <source folder's Windows path>");
    return 2;
  }
  char appData[MAX_PATH] = {0};
  if (SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE)) placeholders.appData = record::Utf8FromAnsi(appData);

  record::Line("machine record, ANSI code page " + std::to_string(GetACP()));
  record::RecordTree("C:\\Program Files\\Bramblecast", placeholders);
  record::RecordTree("C:\\Windows\\Bramblecast", placeholders);
  record::RecordFiles(kSystem, {"nxc1xu32.dll", "ORV_EapPeap.dll"}, placeholders);
  record::RecordKey(HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Bramblecast\\Veltrane RAZ", placeholders);
  record::RecordKey(HKEY_LOCAL_MACHINE, "HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ",
                    placeholders);
  record::RecordKey(HKEY_CLASSES_ROOT, "HKCR", "CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}", placeholders);
  record::RecordKey(HKEY_LOCAL_MACHINE, "HKLM", "SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301",
                    placeholders);
  record::RecordLog(std::string(kSystem) + "\\VelGTCInstall.log", placeholders);
  record::RecordIniValues("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", placeholders);
  return 0;
}
