// The launcher: starts the build of the setup program that matches the
// machine's word size, without arguments, and waits for it. It always ends
// with exit status 0.
#include <cstring>

#include "windows.h"

namespace {

typedef BOOL(WINAPI* LPFN_ISWOW64PROCESS)(HANDLE, PBOOL);
LPFN_ISWOW64PROCESS fnIsWow64Process = nullptr;

// TRUE when this 32-bit program runs on a 64-bit Windows.
BOOL IsWow64() {
  BOOL bIsWow64 = FALSE;
  // Through void(*)(), which every compiler lets a procedure address be
  // cast from quietly, whatever its FARPROC type is.
  fnIsWow64Process = reinterpret_cast<LPFN_ISWOW64PROCESS>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process")));
  if (fnIsWow64Process && !fnIsWow64Process(GetCurrentProcess(), &bIsWow64)) bIsWow64 = FALSE;
  return bIsWow64;
}

// The full name of `pszProgram` (`cchProgram` characters) in the launcher's
// own folder, into `pszPath` (`cchPath` bytes). FALSE when the launcher's
// name is not known or the result does not fit. The length is given because
// a counting loop here would become a call to strlen, which this program
// does not have in its Windows build.
BOOL ProgramBesideLauncher(LPCSTR pszProgram, DWORD cchProgram, LPSTR pszPath, DWORD cchPath) {
  DWORD cch = GetModuleFileNameA(nullptr, pszPath, cchPath);
  if (cch == 0 || cch >= cchPath) return FALSE;
  DWORD cchFolder = cch;
  while (cchFolder > 0 && pszPath[cchFolder - 1] != '\\') --cchFolder;
  if (cchFolder == 0) return FALSE;
  if (cchFolder + cchProgram >= cchPath) return FALSE;
  std::memcpy(pszPath + cchFolder, pszProgram, cchProgram + 1);
  return TRUE;
}

// Starts the program named in full by `pszApplication` with the command line
// `pszCommandLine`. The name is given so that Windows does not search for
// the program: a copy in the current folder or on the PATH never runs in
// place of the one shipped beside the launcher.
void RunAndWait(LPCSTR pszApplication, LPSTR pszCommandLine, WORD wShowWindow) {
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  si.wShowWindow = wShowWindow;
  PROCESS_INFORMATION pi;
  std::memset(&pi, 0, sizeof pi);
  if (!CreateProcessA(pszApplication, pszCommandLine, nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                      &si, &pi)) {
    return;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD dwExitCode = 0;
  GetExitCodeProcess(pi.hProcess, &dwExitCode);
  if (dwExitCode == STILL_ACTIVE && !GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, pi.dwProcessId)) {
    TerminateProcess(pi.hProcess, STILL_ACTIVE);
  }
  CloseHandle(pi.hProcess);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Both names have the same length.
  constexpr DWORD cchSetup = sizeof "VeltraneGTC64.exe" - 1;
  char szSetup32[1024] = {0};
  char szSetup64[1024] = {0};
  std::memcpy(szSetup32, "VeltraneGTC32.exe", cchSetup);
  std::memcpy(szSetup64, "VeltraneGTC64.exe", cchSetup);
  LPSTR pszSetup = IsWow64() ? szSetup64 : szSetup32;
  char szApplication[1024] = {0};
  if (ProgramBesideLauncher(pszSetup, cchSetup, szApplication, sizeof szApplication)) {
    RunAndWait(szApplication, pszSetup, SW_SHOW);
  }
  return 0;
}
