// answer_box <IDOK|IDCANCEL|IDYES|IDNO> [time-out ms]: the user who answers
// one message box of a program under Wine. Waits for a visible top-level
// dialog (class #32770) that has the button, presses it with BM_CLICK, and
// prints what the box said. Exit code 0 when a box was answered, 1 when
// none came within the time-out (default 30 s), 2 on a bad argument.
// Built for Windows only: on the simulated machine the scripted user
// (WINSIM_USER "answer IDYES") does the same.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
  int button = 0;
  HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char className[64] = {0};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  HWND button = GetDlgItem(window, search->button);
  if (!button || !IsWindowEnabled(button)) return TRUE;
  search->found = window;
  return FALSE;
}

std::string Utf8Text(HWND window) {
  WCHAR text[1024] = {0};
  const int length = GetWindowTextW(window, text, 1024);
  char utf8[4096] = {0};
  WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8 - 1, nullptr, nullptr);
  return utf8;
}

int ButtonId(const char* name) {
  static const struct { const char* name; int id; } kButtons[] = {
      {"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDYES", IDYES}, {"IDNO", IDNO}};
  for (const auto& b : kButtons) {
    if (std::strcmp(b.name, name) == 0) return b.id;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Search search;
  if (argc >= 2) search.button = ButtonId(argv[1]);
  if (search.button == 0 || argc > 3) {
    std::printf("usage: answer_box <IDOK|IDCANCEL|IDYES|IDNO> [time-out ms]\n");
    return 2;
  }
  const DWORD timeout = argc == 3 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 30000;
  const DWORD start = GetTickCount();
  while (!search.found) {
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) break;
    if (GetTickCount() - start > timeout) {
      std::printf("no box with %s within %lu ms\n", argv[1], static_cast<unsigned long>(timeout));
      return 1;
    }
    Sleep(100);
  }
  // The message text is the box's static control (id 0xFFFF).
  std::printf("answered %s: \"%s\" %s\n", argv[1], Utf8Text(search.found).c_str(),
              Utf8Text(GetDlgItem(search.found, 0xFFFF)).c_str());
  SendMessageA(GetDlgItem(search.found, search.button), BM_CLICK, 0, 0);
  return 0;
}
