// The collector on a simulated machine laid out by hand: attributes, the
// "= source" comparison, registry data as stored, the log's time stamps,
// line ends and placeholders, the configuration copy's outcome values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host_process.h"
#include "machine_fixture.h"
#include "shlobj.h"
#include "windows.h"

extern char** environ;

namespace {

void Write(const char* path, const std::string& bytes) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Record(const std::string& source) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  const std::string out = winsim::testing::TempHostDir() + "/record.txt";
  EXPECT_EQ(0, winebench::RunHost({{WINE_BENCH_LINUX_RECORD, source}, env, "", out, ""}, 60000));
  return winebench::ReadFileText(out);
}

TEST(MachineRecord, ShowsWhatTheMachineHoldsNormalised) {
  for (const char* dir : {"C:\\src", "C:\\Program Files\\Bramblecast", "C:\\Program Files\\Bramblecast\\Veltrane RAZ",
                          "C:\\Windows\\Bramblecast", "C:\\Windows\\Bramblecast\\Veltrane RAZ"}) {
    ASSERT_TRUE(CreateDirectoryA(dir, nullptr)) << dir;
  }
  Write("C:\\src\\Version.txt", "1.0\r\n");
  Write("C:\\src\\VeltraneGTCSetup.ini", "[Root]\r\n");
  Write("C:\\Program Files\\Bramblecast\\Veltrane RAZ\\Version.txt", "1.0\r\n");
  Write("C:\\Program Files\\Bramblecast\\Veltrane RAZ\\extra.bin", "abc");
  Write("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", "[Root]\r\nInstallSuccess=1\r\n");
  ASSERT_TRUE(SetFileAttributesA("C:\\Windows\\Bramblecast", FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", FILE_ATTRIBUTE_READONLY));

  char appData[MAX_PATH] = {0};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Bramblecast\\Veltrane RAZ\\Common", 0, nullptr,
                                           0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  const std::string logPath = std::string(appData) + "\\Veltrane RAZ";
  RegSetValueExA(key, "Log Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(logPath.c_str()),
                 static_cast<DWORD>(logPath.size() + 1));
  const WCHAR doubled[] = {'a', 'b', 0, 0};
  RegSetValueExW(key, u"Two Ends", 0, REG_SZ, reinterpret_cast<const BYTE*>(doubled), sizeof doubled);
  const DWORD one = 1;
  RegSetValueExA(key, "count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  RegCloseKey(key);

  Write("C:\\Windows\\System32\\VelGTCInstall.log",
        "2024-05-01 09:30:00 FileCopy : C:\\src\\Version.txt -> X\r\n"
        "2024-05-01 09:30:01 WaitForSingleObject timeout : 10 \xB4\xEB\xB1\xE2 -> regsvr32\r\n"
        "2024-05-01 09:30:02 \xBC\xBA\xB0\xF8 lf only\n"
        "not stamped\tlast");

  EXPECT_EQ("machine record, ANSI code page 949\n"
            "== files C:\\Program Files\\Bramblecast\n"
            "dir  --  .\n"
            "dir  --  Veltrane RAZ\n"
            "file --  Veltrane RAZ\\Version.txt  = source\n"
            "file --  Veltrane RAZ\\extra.bin  3 bytes  hash e71fa2190541574b\n"
            "== files C:\\Windows\\Bramblecast\n"
            "dir  H-  .\n"
            "dir  --  Veltrane RAZ\n"
            "file -R  Veltrane RAZ\\VeltraneGTCSetup.ini  26 bytes  hash 511bb937aec21a19\n"
            "     : [Root]<CR><LF>\n"
            "     : InstallSuccess=1<CR><LF>\n"
            "== files C:\\Windows\\System32 (named)\n"
            "absent nxc1xu32.dll\n"
            "absent ORV_EapPeap.dll\n"
            "== registry HKLM\\SOFTWARE\\Bramblecast\\Veltrane RAZ\n"
            "key HKLM\\SOFTWARE\\Bramblecast\\Veltrane RAZ\n"
            "key HKLM\\SOFTWARE\\Bramblecast\\Veltrane RAZ\\Common\n"
            "  \"count\" REG_DWORD 4 bytes: 0x00000001 (1)\n"
            // 23 characters as shown, whatever the length of the AppData folder
            "  \"Log Path\" REG_SZ 46 bytes: <appdata>\\Veltrane RAZ<NUL>\n"
            "  \"Two Ends\" REG_SZ 8 bytes: ab<NUL><NUL>\n"
            "== registry HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ\n"
            "absent HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Veltrane RAZ\n"
            "== registry HKCR\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}\n"
            "absent HKCR\\CLSID\\{A4D1C7E2-5B39-4F8A-9E6D-0C2B71F3D58A}\n"
            "== registry HKLM\\SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301\n"
            "absent HKLM\\SYSTEM\\CurrentControlSet\\Services\\EapHost\\Methods\\29301\n"
            "== log C:\\Windows\\System32\\VelGTCInstall.log\n"
            "| FileCopy : <source>\\Version.txt -> X\n"
            "| 성공 lf only <LF only>\n"
            "| not stamped<TAB>last <no line end>\n"
            "== ini C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini\n"
            "Root/InstallSuccess = \"1\"\n"
            "InstallRoot/InstallSuccess = (missing)\n",
            Record("C:\\src\\"));
}

TEST(MachineRecord, RefusesAMissingSourceFolderArgument) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.push_back(*e);
  EXPECT_EQ(2, winebench::RunHost({{WINE_BENCH_LINUX_RECORD}, env, "", "", ""}, 60000));
}

}  // namespace
