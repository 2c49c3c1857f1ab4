// The framework objects of window handles: the permanent object that
// subclassed a window, and the temporary wrappers FromHandle hands out for
// the others. Shared by all threads of the process: a worker may look up a
// window that the user-interface thread created.
#pragma once
#include "afxwin.h"

namespace afx {

// The attached object of a window, or NULL.
CWnd* LookupPermanent(HWND hwnd);
// Attaches pWnd to hwnd; FALSE when the window has an object already.
bool AttachPermanent(HWND hwnd, CWnd* pWnd);
// Detaches pWnd from hwnd (nothing when another object is attached).
void DetachPermanent(HWND hwnd, CWnd* pWnd);
// A wrapper owned by the map, kept while the process runs (a handle that
// comes back names a window again).
CWnd* TemporaryFor(HWND hwnd);

}  // namespace afx
