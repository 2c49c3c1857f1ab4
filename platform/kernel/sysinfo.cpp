// System folders, the current directory, environment, time, sleeping and
// the lstr* string functions.
#include <sys/stat.h>
#include <sys/time.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "shlobj.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace {

// Copies a text into a caller's buffer with the usual Windows contract:
// the length without NUL on success, the needed size with NUL otherwise
// (buffer untouched).
UINT CopyOut(std::string_view text, LPSTR buffer, UINT size) {
  if (!buffer || size <= text.size()) return static_cast<UINT>(text.size() + 1);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<UINT>(text.size());
}

std::string Ansi(const std::u16string& s) { return winsim::Utf16ToAnsi(s); }

constexpr char kSystemDirectoryA[] = "C:\\Windows\\System32";
constexpr char kWindowsDirectoryA[] = "C:\\Windows";

void FillSystemTime(LPSYSTEMTIME st, bool local) {
  if (!st) return;
  struct timeval tv {};
  gettimeofday(&tv, nullptr);
  struct tm tm {};
  if (local) localtime_r(&tv.tv_sec, &tm);
  else gmtime_r(&tv.tv_sec, &tm);
  st->wYear = static_cast<WORD>(tm.tm_year + 1900);
  st->wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st->wDay = static_cast<WORD>(tm.tm_mday);
  st->wHour = static_cast<WORD>(tm.tm_hour);
  st->wMinute = static_cast<WORD>(tm.tm_min);
  st->wSecond = static_cast<WORD>(tm.tm_sec);
  st->wMilliseconds = static_cast<WORD>(tv.tv_usec / 1000);
}

std::string UserProfile() { return "C:\\Users\\" + winsim::Utf8ToAnsi(winsim::Config().user); }

// The machine's own environment for the names Windows programs look up
// (those of a 64-bit machine exist there only); anything else comes from
// the host environment.
bool MachineVariable(const std::string& upper, std::string* value) {
  const bool x64 = winsim::Config().arch == "x64";
  if (upper == "SYSTEMROOT" || upper == "WINDIR") *value = "C:\\Windows";
  else if (upper == "SYSTEMDRIVE") *value = "C:";
  else if (upper == "PROGRAMFILES") *value = Ansi(winsim::ProgramFilesDirectory());
  else if (upper == "PROGRAMFILES(X86)" && x64) *value = "C:\\Program Files (x86)";
  else if (upper == "PROGRAMW6432" && x64) *value = "C:\\Program Files";
  else if (upper == "PROCESSOR_ARCHITECTURE") *value = x64 && !winsim::IsWow64() ? "AMD64" : "x86";
  else if (upper == "PROCESSOR_ARCHITEW6432" && winsim::IsWow64()) *value = "AMD64";
  else if (upper == "NUMBER_OF_PROCESSORS") *value = std::to_string(std::max(1u, std::thread::hardware_concurrency()));
  else if (upper == "OS") *value = "Windows_NT";
  else if (upper == "COMSPEC") *value = "C:\\Windows\\system32\\cmd.exe";
  else if (upper == "PROGRAMDATA" || upper == "ALLUSERSPROFILE") *value = "C:\\ProgramData";
  else if (upper == "USERNAME") *value = winsim::Utf8ToAnsi(winsim::Config().user);
  else if (upper == "USERPROFILE") *value = UserProfile();
  else if (upper == "APPDATA") *value = UserProfile() + "\\AppData\\Roaming";
  else if (upper == "LOCALAPPDATA") *value = UserProfile() + "\\AppData\\Local";
  else if (upper == "TEMP" || upper == "TMP") *value = UserProfile() + "\\AppData\\Local\\Temp";
  else if (upper == "PATH") *value = "C:\\Windows\\System32;C:\\Windows";
  else return false;
  return true;
}

}  // namespace

extern "C" {

// Both folders have the same plain spelling on every machine (the log
// writer asks for System32 on each line): no look at the settings.
UINT WINAPI GetSystemDirectoryA(LPSTR lpBuffer, UINT uSize) { return CopyOut(kSystemDirectoryA, lpBuffer, uSize); }

UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) { return CopyOut(kWindowsDirectoryA, lpBuffer, uSize); }

UINT WINAPI GetSystemWindowsDirectoryA(LPSTR lpBuffer, UINT uSize) { return GetWindowsDirectoryA(lpBuffer, uSize); }

UINT WINAPI GetSystemWow64DirectoryA(LPSTR lpBuffer, UINT uSize) {
  if (winsim::Config().arch != "x64") {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  return CopyOut("C:\\Windows\\SysWOW64", lpBuffer, uSize);
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  return CopyOut(Ansi(winsim::CurrentDirectory()), lpBuffer, nBufferLength);
}

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
  if (!lpPathName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD err = winsim::SetCurrentDirectoryPath(winsim::AnsiToUtf16(lpPathName));
  if (err) {
    SetLastError(err);
    return FALSE;
  }
  return TRUE;
}

DWORD WINAPI GetEnvironmentVariableA(LPCSTR lpName, LPSTR lpBuffer, DWORD nSize) {
  if (!lpName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string upper(lpName);
  for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string value;
  // Names of the machine's environment that this machine or program lacks
  // (a 32-bit machine has no ProgramFiles(x86)) are missing, not the host's.
  const bool machineOnly = upper == "PROGRAMFILES(X86)" || upper == "PROGRAMW6432" || upper == "PROCESSOR_ARCHITEW6432";
  if (!MachineVariable(upper, &value)) {
    if (machineOnly) {
      SetLastError(ERROR_ENVVAR_NOT_FOUND);
      return 0;
    }
    const char* host = std::getenv(lpName);
    if (!host) {
      SetLastError(ERROR_ENVVAR_NOT_FOUND);
      return 0;
    }
    value = host;
  }
  return CopyOut(value, lpBuffer, nSize);
}

void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) { FillSystemTime(lpSystemTime, true); }
void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) { FillSystemTime(lpSystemTime, false); }

ULONGLONG WINAPI GetTickCount64(void) {
  struct timespec ts {};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<ULONGLONG>(ts.tv_sec) * 1000 + static_cast<ULONGLONG>(ts.tv_nsec / 1000000);
}

DWORD WINAPI GetTickCount(void) { return static_cast<DWORD>(GetTickCount64()); }

void WINAPI Sleep(DWORD dwMilliseconds) {
  if (dwMilliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  if (dwMilliseconds == INFINITE) {
    for (;;) std::this_thread::sleep_for(std::chrono::hours(24));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

int WINAPI lstrlenA(LPCSTR lpString) { return lpString ? static_cast<int>(std::strlen(lpString)) : 0; }

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
  if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
  std::u16string ua = winsim::Upcase(winsim::AnsiToUtf16(a)), ub = winsim::Upcase(winsim::AnsiToUtf16(b));
  int c = ua.compare(ub);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Word-sort order: letters compare without case first; when they are equal
// apart from case, the first differing letter decides, lower case first.
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
  int ci = lstrcmpiA(a, b);
  if (ci != 0 || !a || !b) return ci;
  std::u16string ua = winsim::AnsiToUtf16(a), ub = winsim::AnsiToUtf16(b);
  for (size_t i = 0; i < ua.size() && i < ub.size(); ++i) {
    if (ua[i] == ub[i]) continue;
    bool aUpper = winsim::UpcaseChar(ua[i]) == ua[i];
    return aUpper ? 1 : -1;
  }
  return 0;
}

LPSTR WINAPI lstrcpynA(LPSTR dest, LPCSTR src, int max) {
  if (!dest || !src || max <= 0) return dest;
  int i = 0;
  for (; i < max - 1 && src[i]; ++i) dest[i] = src[i];
  dest[i] = '\0';
  return dest;
}

BOOL WINAPI SHGetSpecialFolderPathA(HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate) {
  (void)hwnd;
  std::string path;
  switch (csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_APPDATA: path = UserProfile() + "\\AppData\\Roaming"; break;
    case CSIDL_LOCAL_APPDATA: path = UserProfile() + "\\AppData\\Local"; break;
    case CSIDL_COMMON_APPDATA: path = "C:\\ProgramData"; break;
    case CSIDL_WINDOWS: path = "C:\\Windows"; break;
    case CSIDL_SYSTEM: path = "C:\\Windows\\System32"; break;
    case CSIDL_SYSTEMX86: path = winsim::Config().arch == "x64" ? "C:\\Windows\\SysWOW64" : "C:\\Windows\\System32"; break;
    case CSIDL_PROGRAM_FILES: path = Ansi(winsim::ProgramFilesDirectory()); break;
    case CSIDL_PROGRAM_FILESX86: path = winsim::Config().arch == "x64" ? "C:\\Program Files (x86)" : "C:\\Program Files"; break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
  if (!pszPath) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  winsim::ResolvedPath r = winsim::ResolvePathA(path.c_str());
  if (!r.exists) {
    if (!fCreate && !(csidl & CSIDL_FLAG_CREATE)) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return FALSE;
    }
    if (mkdir(r.host.c_str(), 0755) != 0 && errno != EEXIST) {
      SetLastError(winsim::ErrnoToWin32(errno));
      return FALSE;
    }
  }
  std::memcpy(pszPath, path.c_str(), path.size() + 1);
  return TRUE;
}

}  // extern "C"
