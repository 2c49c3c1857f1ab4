#include "program_windows.h"

#include <algorithm>
#include <cwctype>

#include "text.h"
#include "wizard_model.h"

namespace driver {
namespace {

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

// The file name of the process's image path, lower case; empty when the
// process cannot be asked (gone, or not ours to open).
std::wstring ImageName(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return std::wstring();
  wchar_t path[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  const BOOL ok = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  if (!ok) return std::wstring();
  std::wstring name(path, size);
  const size_t slash = name.find_last_of(L"\\/");
  return Lower(slash == std::wstring::npos ? name : name.substr(slash + 1));
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM out) {
  reinterpret_cast<std::vector<HWND>*>(out)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

ProgramWindows::ProgramWindows(std::vector<std::wstring> imageNames) : m_self(GetCurrentProcessId()) {
  for (auto& n : imageNames) m_names.push_back(Lower(n));
}

bool ProgramWindows::IsProgram(DWORD pid) const {
  if (pid == m_self) return false;
  if (m_names.empty()) return true;
  const std::wstring name = ImageName(pid);
  return std::find(m_names.begin(), m_names.end(), name) != m_names.end();
}

std::vector<HWND> ProgramWindows::All() const {
  std::vector<HWND> top;
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&top));  // in Z order, front first
  std::vector<HWND> mine;
  for (HWND hwnd : top) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (IsWindowVisible(hwnd) && IsProgram(pid)) mine.push_back(hwnd);
  }
  return mine;
}

std::vector<HWND> ProgramWindows::Dialogs() const {
  std::vector<HWND> dialogs;
  for (HWND hwnd : All()) {
    if (ClassOf(hwnd) == L"#32770") dialogs.push_back(hwnd);
  }
  return dialogs;
}

HWND ProgramWindows::Wizard() const {
  for (HWND hwnd : Dialogs()) {
    if (GetDlgItem(hwnd, kNextId)) return hwnd;
  }
  return nullptr;
}

std::vector<HWND> ProgramWindows::Boxes() const {
  std::vector<HWND> boxes;
  for (HWND hwnd : Dialogs()) {
    if (!GetDlgItem(hwnd, kNextId)) boxes.push_back(hwnd);
  }
  return boxes;
}

std::string ProgramWindows::Description() const {
  if (m_names.empty()) return "any program";
  std::string out;
  for (const auto& n : m_names) out += (out.empty() ? "" : " or ") + ToUtf8(n);
  return out;
}

}  // namespace driver
