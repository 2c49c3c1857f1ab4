// The window manager operations of winuser.h. A call from another thread
// runs on the user-interface thread and waits for it, as a sent message.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <unistd.h>

#include <algorithm>

#include "desktop_internal.h"


using namespace winsim::desktop;

namespace {

const HWND kDesktop = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10010));

WindowPtr Lookup(HWND hwnd) {
  WindowPtr w = FindWindowRecord(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

QRect ScreenRect() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
}

HWND HandleOf(QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    QVariant v = widget->property("winsim_hwnd");
    if (v.isValid()) return reinterpret_cast<HWND>(static_cast<uintptr_t>(v.toULongLong()));
  }
  return nullptr;
}

// A top-level window's rectangle is its frame; a child's is its widget.
QRect WindowGeometry(const Window& w) {
  if (!w.widget) return QRect();
  if (IsTopLevel(w)) return w.widget->frameGeometry();
  return QRect(w.widget->mapToGlobal(QPoint(0, 0)), w.widget->size());
}

void ApplyTopmost(Window& w, bool topmost) {
  if (topmost) w.exStyle |= WS_EX_TOPMOST;
  else w.exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
  if (!w.widget || !IsTopLevel(w)) return;
  bool visible = w.widget->isVisible();
  w.widget->setWindowFlag(Qt::WindowStaysOnTopHint, topmost);  // hides the widget
  if (visible) w.widget->show();
}

// A pointer index through GetWindowLongA or SetWindowLongA: refused (1413)
// on a 64-bit machine, where a pointer does not fit in a LONG.
bool RefusedAsLong(HWND hwnd, int index) {
  bool pointer = index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT || index == GWLP_USERDATA;
  if (sizeof(LONG_PTR) == sizeof(LONG) || !pointer) return false;
  if (Lookup(hwnd)) SetLastError(ERROR_INVALID_INDEX);
  return true;
}

// The off-screen desktop keeps no stacking order to change.
void RaiseWindow(QWidget& widget) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) widget.raise();
}

}  // namespace

extern "C" {

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!FindWindowRecord(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (!OnUiThread()) NoteActivity();
  return CallOnUi<LRESULT>([&] { return Dispatch(hWnd, Msg, wParam, lParam); });
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return TRUE;  // a thread message: this layer has no thread queues
  if (!FindWindowRecord(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  bool foreign = !OnUiThread();
  PostToUi([=] {
    if (!FindWindowRecord(hWnd)) return;
    if (foreign) NoteActivity();
    Dispatch(hWnd, Msg, wParam, lParam);
  });
  return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return CallOnUi<LRESULT>([&]() -> LRESULT {
    WindowPtr w = Lookup(hWnd);
    return w ? CallGenericProc(*w, Msg, wParam, lParam) : 0;
  });
}

LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return CallOnUi<LRESULT>([&]() -> LRESULT {
    WindowPtr w = Lookup(hDlg);
    if (!w) return 0;
    if (w->kind != Kind::Dialog) return CallGenericProc(*w, Msg, wParam, lParam);
    return CallClassProc(hDlg, Msg, wParam, lParam);
  });
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!lpPrevWndFunc) return 0;
  return CallOnUi<LRESULT>([&] { return lpPrevWndFunc(hWnd, Msg, wParam, lParam); });
}

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  return CallOnUi<UINT_PTR>([&]() -> UINT_PTR {
    WindowPtr w = Lookup(hWnd);
    if (!w) return 0;
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(static_cast<int>(std::max<UINT>(uElapse, 10)));
    QObject::connect(timer.get(), &QTimer::timeout, [hWnd, nIDEvent, lpTimerFunc] {
      if (!FindWindowRecord(hWnd)) return;
      // With a timer procedure the message goes to it, not to the window.
      if (lpTimerFunc) lpTimerFunc(hWnd, WM_TIMER, nIDEvent, GetTickCount());
      else Dispatch(hWnd, WM_TIMER, nIDEvent, 0);
    });
    timer->start();
    w->timers[nIDEvent] = std::move(timer);  // replaces a timer with the same id
    return nIDEvent ? nIDEvent : 1;
  });
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = FindWindowRecord(hWnd);
    if (!w || !w->timers.count(uIDEvent)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    w->timers[uIDEvent]->stop();
    w->timers[uIDEvent].release()->deleteLater();  // may be running its own timeout
    w->timers.erase(uIDEvent);
    return TRUE;
  });
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hDlg);
    if (!w || w->kind != Kind::Dialog) return FALSE;
    EndDialogWindow(*w, nResult);
    return TRUE;
  });
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    if (!Lookup(hWnd)) return FALSE;
    DestroyWindowTree(hWnd);
    return TRUE;
  });
}

BOOL WINAPI IsWindow(HWND hWnd) { return FindWindowRecord(hWnd) != nullptr; }

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  return CallOnUi<HWND>([&]() -> HWND {
    if (!Lookup(hDlg)) return nullptr;
    HWND child = FindChild(hDlg, nIDDlgItem);
    if (!child) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return child;
  });
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
  WindowPtr w = Lookup(hWnd);
  return w ? w->id : 0;
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? static_cast<BOOL>(SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString))) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (!item) {
    if (lpString && cchMax > 0) *lpString = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  if (!item) return FALSE;
  SendMessageA(item, BM_SETCHECK, uCheck, 0);
  return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
  HWND item = GetDlgItem(hDlg, nIDButton);
  return item ? static_cast<UINT>(SendMessageA(item, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item ? SendMessageA(item, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!Lookup(hWnd)) return FALSE;
  return static_cast<BOOL>(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!Lookup(hWnd)) {
    if (lpString && nMaxCount > 0) *lpString = '\0';
    return 0;
  }
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
  if (!Lookup(hWnd)) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable) w->style &= ~static_cast<DWORD>(WS_DISABLED);
    else w->style |= WS_DISABLED;
    if (w->widget) w->widget->setEnabled(bEnable != FALSE);
    if (wasDisabled == (bEnable != FALSE)) Dispatch(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    if (wasDisabled && bEnable) NoteWindowReady();
    return wasDisabled;
  });
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
  WindowPtr w = FindWindowRecord(hWnd);
  return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    BOOL was = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    SetVisible(*w, nCmdShow != SW_HIDE);
    if (w->widget && IsTopLevel(*w) && !ProcessHidden() && nCmdShow != SW_HIDE && nCmdShow != SW_SHOWNA &&
        nCmdShow != SW_SHOWNOACTIVATE)
      w->widget->activateWindow();
    return was;
  });
}

BOOL WINAPI IsWindowVisible(HWND hWnd) { return ReallyVisible(hWnd); }

BOOL WINAPI IsIconic(HWND hWnd) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = FindWindowRecord(hWnd);
    return w && w->widget && w->widget->isMinimized();
  });
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    if (w->widget) {
      if (!(uFlags & SWP_NOSIZE)) w->widget->resize(std::max(cx, 0), std::max(cy, 0));
      if (!(uFlags & SWP_NOMOVE)) w->widget->move(X, Y);
    }
    if (!(uFlags & SWP_NOZORDER)) {
      if (hWndInsertAfter == HWND_TOPMOST) ApplyTopmost(*w, true);
      else if (hWndInsertAfter == HWND_NOTOPMOST) ApplyTopmost(*w, false);
      else if (hWndInsertAfter == HWND_TOP && w->widget) RaiseWindow(*w->widget);
    }
    if (uFlags & SWP_SHOWWINDOW) SetVisible(*w, true);
    if (uFlags & SWP_HIDEWINDOW) SetVisible(*w, false);
    if (!(uFlags & SWP_NOACTIVATE) && w->widget && IsTopLevel(*w) && w->widget->isVisible())
      w->widget->activateWindow();
    return TRUE;
  });
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    QRect r;
    if (hWnd == kDesktop) {
      r = ScreenRect();
    } else {
      WindowPtr w = Lookup(hWnd);
      if (!w || !lpRect) return FALSE;
      r = WindowGeometry(*w);
    }
    *lpRect = RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    return TRUE;
  });
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    QSize size;
    if (hWnd == kDesktop) {
      size = ScreenRect().size();
    } else {
      WindowPtr w = Lookup(hWnd);
      if (!w || !lpRect) return FALSE;
      if (w->widget) size = w->widget->size();
    }
    *lpRect = RECT{0, 0, size.width(), size.height()};
    return TRUE;
  });
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w || !lpPoint || !w->widget) return FALSE;
    QPoint p = w->widget->mapFromGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
  });
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w || !lpPoint || !w->widget) return FALSE;
    QPoint p = w->widget->mapToGlobal(QPoint(lpPoint->x, lpPoint->y));
    *lpPoint = POINT{p.x(), p.y()};
    return TRUE;
  });
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    if (w->widget) {
      if (lpRect) w->widget->update(QRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top));
      else w->widget->update();
    }
    return TRUE;
  });
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    if (w->widget && w->widget->isVisible()) w->widget->repaint();
    return TRUE;
  });
}

HWND WINAPI GetParent(HWND hWnd) {
  WindowPtr w = Lookup(hWnd);
  if (!w) return nullptr;
  return w->parent ? w->parent : w->owner;
}

HWND WINAPI SetFocus(HWND hWnd) {
  return CallOnUi<HWND>([&]() -> HWND {
    HWND previous = HandleOf(QApplication::focusWidget());
    WindowPtr w = FindWindowRecord(hWnd);
    if (w && w->widget) w->widget->setFocus(Qt::OtherFocusReason);
    return previous;
  });
}

HWND WINAPI GetFocus(void) {
  return CallOnUi<HWND>([] { return HandleOf(QApplication::focusWidget()); });
}

// The active window: the most recently shown top-level window that is
// visible and enabled (a modal dialog disables its owner).
HWND WINAPI GetActiveWindow(void) {
  HWND best = nullptr;
  unsigned long long seq = 0;
  for (const WindowPtr& w : AllWindows()) {
    if (IsTopLevel(*w) && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED) && w->showSeq >= seq) {
      seq = w->showSeq;
      best = w->hwnd;
    }
  }
  return best;
}

HWND WINAPI GetForegroundWindow(void) { return GetActiveWindow(); }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = Lookup(hWnd);
    if (!w) return FALSE;
    if (w->widget && w->widget->isVisible()) {
      RaiseWindow(*w->widget);
      w->widget->activateWindow();
    }
    return TRUE;
  });
}

HWND WINAPI GetDesktopWindow(void) { return kDesktop; }

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
  return CallOnUi<LONG_PTR>([&]() -> LONG_PTR {
    WindowPtr w = Lookup(hWnd);
    if (!w) return 0;
    bool dialog = w->kind == Kind::Dialog;
    switch (nIndex) {
      case GWL_STYLE: return static_cast<LONG>(w->style);
      case GWL_EXSTYLE: return static_cast<LONG>(w->exStyle);
      case GWLP_ID: return w->id;
      case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
      case GWLP_USERDATA: return w->userData;
      case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
      case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr));
      case DWLP_MSGRESULT:
        if (dialog) return w->msgResult;
        break;
      case DWLP_DLGPROC:
        if (dialog) return reinterpret_cast<LONG_PTR>(w->dlgProc);
        break;
      case DWLP_USER:
        if (dialog) return w->dlgUser;
        break;
      default: break;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  });
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
  return CallOnUi<LONG_PTR>([&]() -> LONG_PTR {
    WindowPtr w = Lookup(hWnd);
    if (!w) return 0;
    bool dialog = w->kind == Kind::Dialog;
    DWORD value = static_cast<DWORD>(dwNewLong);
    LONG_PTR old = 0;
    switch (nIndex) {
      case GWL_STYLE: {
        DWORD was = w->style;
        w->style = (value & ~static_cast<DWORD>(WS_VISIBLE | WS_DISABLED)) | (was & (WS_VISIBLE | WS_DISABLED));
        if ((was ^ value) & WS_DISABLED) EnableWindow(hWnd, !(value & WS_DISABLED));
        if ((was ^ value) & WS_VISIBLE) SetVisible(*w, value & WS_VISIBLE);
        return static_cast<LONG>(was);
      }
      case GWL_EXSTYLE: {
        DWORD was = w->exStyle;
        w->exStyle = value;
        if ((was ^ value) & WS_EX_TOPMOST) ApplyTopmost(*w, value & WS_EX_TOPMOST);
        return static_cast<LONG>(was);
      }
      case GWLP_ID: old = w->id; w->id = static_cast<int>(dwNewLong); return old;
      case GWLP_WNDPROC:
        if (!dwNewLong) break;
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        return old;
      case GWLP_USERDATA: old = w->userData; w->userData = dwNewLong; return old;
      case DWLP_MSGRESULT:
        if (!dialog) break;
        old = w->msgResult;
        w->msgResult = dwNewLong;
        return old;
      case DWLP_DLGPROC:
        if (!dialog) break;
        old = reinterpret_cast<LONG_PTR>(w->dlgProc);
        w->dlgProc = reinterpret_cast<DLGPROC>(dwNewLong);
        return old;
      case DWLP_USER:
        if (!dialog) break;
        old = w->dlgUser;
        w->dlgUser = dwNewLong;
        return old;
      default: break;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  });
}

// The 32-bit forms take the indexes that hold 32-bit values; a pointer
// index is refused on a 64-bit machine, as on Windows.
LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
  if (RefusedAsLong(hWnd, nIndex)) return 0;
  return static_cast<LONG>(GetWindowLongPtrA(hWnd, nIndex));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
  if (RefusedAsLong(hWnd, nIndex)) return 0;
  return static_cast<LONG>(SetWindowLongPtrA(hWnd, nIndex, dwNewLong));
}

// Siblings are kept in creation order, which is the z-order of a dialog's
// controls; top-level windows are listed in creation order too.
HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
  return CallOnUi<HWND>([&]() -> HWND {
    WindowPtr w = Lookup(hWnd);
    if (!w) return nullptr;
    if (uCmd == GW_OWNER) return IsTopLevel(*w) ? w->owner : nullptr;
    if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    std::vector<HWND> siblings;
    if (WindowPtr parent = FindWindowRecord(w->parent)) {
      siblings = parent->children;
    } else {
      for (const WindowPtr& other : AllWindows())
        if (IsTopLevel(*other)) siblings.push_back(other->hwnd);
    }
    auto at = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
      case GW_HWNDFIRST: return siblings.empty() ? nullptr : siblings.front();
      case GW_HWNDLAST: return siblings.empty() ? nullptr : siblings.back();
      case GW_HWNDNEXT: return at == siblings.end() || at + 1 == siblings.end() ? nullptr : *(at + 1);
      case GW_HWNDPREV: return at == siblings.begin() || at == siblings.end() ? nullptr : *(at - 1);
      default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
  });
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
  return CallOnUi<HWND>([&]() -> HWND {
    WindowPtr w = Lookup(hwnd);
    if (!w) return nullptr;
    switch (gaFlags) {
      case GA_PARENT: return w->parent ? w->parent : kDesktop;
      case GA_ROOT: return TopLevelOf(hwnd);
      case GA_ROOTOWNER: {
        HWND root = TopLevelOf(hwnd);
        for (WindowPtr r = FindWindowRecord(root); r && r->owner; r = FindWindowRecord(r->owner)) root = r->owner;
        return root;
      }
      default: return nullptr;
    }
  });
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
  return CallOnUi<BOOL>([&]() -> BOOL {
    WindowPtr w = FindWindowRecord(hWnd);
    for (w = w ? FindWindowRecord(w->parent) : nullptr; w; w = FindWindowRecord(w->parent))
      if (w->hwnd == hWndParent) return TRUE;
    return FALSE;
  });
}

BOOL WINAPI SystemParametersInfoA(UINT uiAction, UINT uiParam, PVOID pvParam, UINT fWinIni) {
  if (uiAction != SPI_GETWORKAREA || !pvParam) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  QRect area = CallOnUi<QRect>([] {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  });
  *static_cast<RECT*>(pvParam) = RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
  return TRUE;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
  if (!Lookup(hWnd)) return 0;
  if (lpdwProcessId) *lpdwProcessId = static_cast<DWORD>(getpid());
  static const DWORD uiThread = CallOnUi<DWORD>([] { return GetCurrentThreadId(); });
  return uiThread;
}

int WINAPI GetSystemMetrics(int nIndex) {
  return CallOnUi<int>([&]() -> int {
    switch (nIndex) {
      case SM_CXSCREEN: return ScreenRect().width();
      case SM_CYSCREEN: return ScreenRect().height();
      case SM_CXICON:
      case SM_CYICON: return MulDivInt(32, ScreenDpi(), 96);
      case SM_CXSMICON:
      case SM_CYSMICON: return MulDivInt(16, ScreenDpi(), 96);
      default: return 0;
    }
  });
}

BOOL WINAPI MessageBeep(UINT uType) { return TRUE; }

}  // extern "C"
