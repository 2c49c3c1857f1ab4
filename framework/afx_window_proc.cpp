// The framework's window and dialog procedures.
#include "afx_window_proc.h"

#include "afx_handle_map.h"

namespace afx {
namespace {

LRESULT CALLBACK AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* object = LookupPermanent(hwnd);
  if (!object) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  return object->WindowProc(message, wParam, lParam);
}

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG || LookupPermanent(hwnd)) return FALSE;
  CWnd* object = reinterpret_cast<CWnd*>(lParam);
  if (!object || !object->SubclassWindow(hwnd)) return TRUE;
  return static_cast<INT_PTR>(object->WindowProc(message, wParam, lParam));
}

}  // namespace

WNDPROC WindowProcOf() { return &AfxWndProc; }
DLGPROC DialogProcOf() { return &AfxDlgProc; }

}  // namespace afx
