// The window procedure of windows that framework objects have subclassed.
#pragma once
#include "afxwin.h"

namespace afx {

// AfxWndProc: hands the message to the window's framework object.
WNDPROC WindowProcOf();
// AfxDlgProc: the dialog procedure of framework dialogs. Its first
// WM_INITDIALOG (lParam: the CDialog) attaches the object to the window and
// subclasses it; every later message reaches the object through the window
// procedure, so the dialog procedure then returns FALSE.
DLGPROC DialogProcOf();

}  // namespace afx
