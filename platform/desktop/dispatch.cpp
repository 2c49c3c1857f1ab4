// Message delivery and the default window procedures of the window kinds.
#include <QProgressBar>
#include <QWidget>
#include <cstring>

#include "controls.h"
#include "desktop_internal.h"

namespace winsim::desktop {
namespace {

thread_local int t_timerDepth = 0;

// WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC: the control-colour messages.
bool IsCtlColor(UINT msg) { return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC; }

LRESULT CtlColorDefault(UINT msg, WPARAM wParam) {
  HDC dc = reinterpret_cast<HDC>(wParam);
  bool window = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, window ? RGB(255, 255, 255) : RGB(240, 240, 240));
  return reinterpret_cast<LRESULT>(window ? SystemWindowBrush() : SystemFaceBrush());
}

// What every window kind does (DefWindowProc).
LRESULT GenericProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT: {
      std::string old = w.text;
      w.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
      ApplyText(w);
      if (IsTopLevel(w) && w.shownLogged && old != w.text) {
        JournalEntry e;
        e.event = "caption";
        e.templateId = w.templateId;
        e.hasCaption = true;
        e.caption = w.text;
        WriteJournal(e);
      }
      if (!InTimerDispatch()) NoteActivity();
      return TRUE;
    }
    case WM_GETTEXT: {
      if (wParam == 0 || !lParam) return 0;
      size_t n = std::min<size_t>(w.text.size(), wParam - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), w.text.data(), n);
      reinterpret_cast<char*>(lParam)[n] = '\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(w.text.size());
    case WM_SETFONT:
      w.font = reinterpret_cast<HFONT>(wParam);
      ApplyFont(w);
      if (LOWORD(lParam) && w.widget) w.widget->update();
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(w.font);
    case WM_SETICON: {
      HICON icon = reinterpret_cast<HICON>(lParam);
      HICON old = wParam == ICON_BIG ? w.bigIcon : w.smallIcon;
      (wParam == ICON_BIG ? w.bigIcon : w.smallIcon) = icon;
      return reinterpret_cast<LRESULT>(old);
    }
    case WM_GETICON: return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? w.bigIcon : w.smallIcon);
    case WM_CLOSE: DestroyWindow(w.hwnd); return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) Dispatch(w.hwnd, WM_CLOSE, 0, 0);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
      if (lParam) reinterpret_cast<TIMERPROC>(lParam)(w.hwnd, WM_TIMER, wParam, GetTickCount());
      return 0;
    default: return IsCtlColor(msg) ? CtlColorDefault(msg, wParam) : 0;
  }
}

int DefaultButtonOf(const Window& dialog) {
  if (dialog.defId) return dialog.defId;
  for (HWND child : dialog.children) {
    WindowPtr c = FindWindowRecord(child);
    if (c && c->kind == Kind::Button && (c->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return c->id;
  }
  return 0;
}

// The messages whose dialog-procedure result is the message's own result;
// for the others a dialog procedure stores it in DWLP_MSGRESULT.
bool ResultIsDirect(UINT msg) { return msg == WM_INITDIALOG || msg == WM_QUERYDRAGICON || IsCtlColor(msg); }

// DefDlgProc: the dialog procedure first, then the dialog manager's defaults.
LRESULT DialogProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (w.dlgProc) {
    HWND hwnd = w.hwnd;
    w.msgResult = 0;
    INT_PTR handled = w.dlgProc(hwnd, msg, wParam, lParam);
    WindowPtr alive = FindWindowRecord(hwnd);
    if (handled) return ResultIsDirect(msg) ? handled : (alive ? alive->msgResult : 0);
    if (!alive) return 0;
  }
  switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case DM_GETDEFID: {
      int id = DefaultButtonOf(w);
      return id ? MAKELONG(id, DC_HASDEFID) : 0;
    }
    case DM_SETDEFID: w.defId = static_cast<int>(wParam); return TRUE;
    case WM_CLOSE: {
      HWND cancel = FindChild(w.hwnd, IDCANCEL);
      if (cancel && !ReallyEnabled(cancel)) return 0;
      Dispatch(w.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
      return 0;
    }
    case WM_ERASEBKGND: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      LRESULT brush = Dispatch(w.hwnd, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(w.hwnd));
      RECT client;
      GetClientRect(w.hwnd, &client);
      FillRect(dc, &client, reinterpret_cast<HBRUSH>(brush));
      return 1;
    }
    default: return GenericProc(w, msg, wParam, lParam);
  }
}

LRESULT ButtonProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case BM_CLICK:
      // A disabled button ignores the simulated mouse click.
      if (ReallyEnabled(w.hwnd)) PerformButtonClick(w.hwnd);
      return 0;
    case BM_GETCHECK: return w.check;
    case BM_SETCHECK: {
      w.check = static_cast<int>(wParam);
      if (auto* box = qobject_cast<QCheckBox*>(w.widget.data()))
        box->setCheckState(w.check == BST_CHECKED ? Qt::Checked
                           : w.check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                          : Qt::Unchecked);
      else if (auto* radio = qobject_cast<QRadioButton*>(w.widget.data()))
        radio->setChecked(w.check == BST_CHECKED);
      return 0;
    }
    case BM_GETSTATE: return w.check;
    case WM_GETDLGCODE: {
      DWORD type = w.style & BS_TYPEMASK;
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) return DLGC_RADIOBUTTON;
      if (type == BS_DEFPUSHBUTTON) return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
      if (type == BS_PUSHBUTTON) return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return DLGC_BUTTON;
    }
    case BM_SETSTATE: return 0;
    case BM_SETSTYLE: {
      w.style = (w.style & 0xFFFF0000u) | (static_cast<DWORD>(wParam) & 0xFFFFu);
      if (auto* push = qobject_cast<QPushButton*>(w.widget.data()))
        push->setDefault((w.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      return 0;
    }
    default: return GenericProc(w, msg, wParam, lParam);
  }
}

void ShowProgress(Window& w) {
  if (auto* bar = qobject_cast<QProgressBar*>(w.widget.data())) {
    bar->setRange(w.rangeMin, std::max(w.rangeMin, w.rangeMax));
    bar->setValue(w.pos);
  }
  if (!InTimerDispatch()) NoteActivity();
}

LRESULT ProgressProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto clamp = [&](int v) { return std::max(w.rangeMin, std::min(w.rangeMax, v)); };
  switch (msg) {
    case PBM_SETRANGE: {
      LRESULT old = MAKELONG(w.rangeMin, w.rangeMax);
      w.rangeMin = LOWORD(lParam);
      w.rangeMax = HIWORD(lParam);
      w.pos = clamp(w.pos);
      ShowProgress(w);
      return old;
    }
    case PBM_SETRANGE32: {
      LRESULT old = MAKELONG(w.rangeMin, w.rangeMax);
      w.rangeMin = static_cast<int>(wParam);
      w.rangeMax = static_cast<int>(lParam);
      w.pos = clamp(w.pos);
      ShowProgress(w);
      return old;
    }
    case PBM_GETRANGE:
      if (lParam) {
        reinterpret_cast<int*>(lParam)[0] = w.rangeMin;
        reinterpret_cast<int*>(lParam)[1] = w.rangeMax;
      }
      return wParam ? w.rangeMin : w.rangeMax;
    case PBM_SETPOS: {
      int old = w.pos;
      w.pos = clamp(static_cast<int>(wParam));
      ShowProgress(w);
      return old;
    }
    case PBM_DELTAPOS: {
      int old = w.pos;
      w.pos = clamp(w.pos + static_cast<int>(wParam));
      ShowProgress(w);
      return old;
    }
    case PBM_GETPOS: return w.pos;
    case PBM_SETSTEP: {
      int old = w.step;
      w.step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT: {
      int old = w.pos;
      w.pos += w.step;
      if (w.pos > w.rangeMax) w.pos = w.rangeMin + (w.pos - w.rangeMax);
      w.pos = clamp(w.pos);
      ShowProgress(w);
      return old;
    }
    default: return GenericProc(w, msg, wParam, lParam);
  }
}

}  // namespace

bool InTimerDispatch() { return t_timerDepth > 0; }

LRESULT CallGenericProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GenericProc(w, msg, wParam, lParam);
}

LRESULT CallClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowPtr w = FindWindowRecord(hwnd);
  if (!w) return 0;
  switch (w->kind) {
    case Kind::Dialog: return DialogProc(*w, msg, wParam, lParam);
    case Kind::Button: return ButtonProc(*w, msg, wParam, lParam);
    case Kind::Progress: return ProgressProc(*w, msg, wParam, lParam);
    case Kind::MessageBox: return MessageBoxProc(*w, msg, wParam, lParam);
    default: return GenericProc(*w, msg, wParam, lParam);
  }
}

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowPtr w = FindWindowRecord(hwnd);  // kept alive while its handler runs
  if (!w) return 0;
  struct TimerScope {
    bool on;
    explicit TimerScope(bool timer) : on(timer) { t_timerDepth += on; }
    ~TimerScope() { t_timerDepth -= on; }
  } scope(msg == WM_TIMER);
  if (w->proc) return w->proc(hwnd, msg, wParam, lParam);
  return CallClassProc(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK ClassWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return CallClassProc(hwnd, msg, wParam, lParam);
}

}  // namespace winsim::desktop
