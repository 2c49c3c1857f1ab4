// Dialogs from templates: creation of a dialog and its controls with dialog
// units converted at the machine's density, the modal loop, and EndDialog.
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <condition_variable>
#include <mutex>
#include <strings.h>

#include "controls.h"
#include "desktop_internal.h"
#include "dialog_template.h"

namespace winsim::desktop {
namespace {

Kind KindOfClass(const std::string& cls) {
  if (strcasecmp(cls.c_str(), "Button") == 0) return Kind::Button;
  if (strcasecmp(cls.c_str(), "Edit") == 0) return Kind::Edit;
  if (strcasecmp(cls.c_str(), "msctls_progress32") == 0) return Kind::Progress;
  return Kind::Static;
}

Qt::WindowFlags TopLevelFlags(DWORD style, DWORD exStyle) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
  if (style & WS_CAPTION) flags |= Qt::WindowTitleHint;
  if (style & WS_SYSMENU) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

HWND FirstTabStop(const Window& dialog) {
  for (HWND child : dialog.children) {
    WindowPtr c = FindWindowRecord(child);
    if (c && (c->style & WS_TABSTOP) && (c->style & WS_VISIBLE) && !(c->style & WS_DISABLED)) return child;
  }
  return nullptr;
}

void CreateControl(Window& dialog, const DialogItemTemplate& item, const BaseUnits& base) {
  auto c = std::make_shared<Window>();
  c->kind = KindOfClass(item.className);
  c->id = item.id;
  c->style = item.style | WS_CHILD;
  c->exStyle = item.exStyle;
  c->text = item.textOrdinal >= 0 ? std::string() : item.text;
  c->parent = dialog.hwnd;
  HWND hwnd = RegisterWindow(c);
  dialog.children.push_back(hwnd);
  QWidget* widget = CreateControlWidget(*c, dialog.widget);
  c->widget = widget;
  widget->setGeometry(DialogUnitsToPixelsX(item.x, base), DialogUnitsToPixelsY(item.y, base),
                      DialogUnitsToPixelsX(item.cx, base), DialogUnitsToPixelsY(item.cy, base));
  widget->setEnabled(!(c->style & WS_DISABLED));
  c->font = dialog.font;
  ApplyFont(*c);
  ApplyText(*c);
  widget->setVisible((c->style & WS_VISIBLE) != 0);
}

}  // namespace

HWND CreateDialogFromTemplate(const DialogTemplate& tmpl, int templateId, HWND parent, DLGPROC proc,
                              LPARAM initParam) {
  const DialogTemplate* t = &tmpl;
  bool child = (t->style & WS_CHILD) != 0;
  WindowPtr parentRecord = FindWindowRecord(parent);
  if (child && !parentRecord) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  int dpi = ScreenDpi();
  bool hasFont = (t->style & DS_SETFONT) && !t->faceName.empty();
  std::string face = hasFont ? t->faceName : "MS Shell Dlg";
  int points = hasFont ? t->pointSize : 8;
  BaseUnits base = DialogBaseUnits(face, points, dpi);

  auto w = std::make_shared<Window>();
  w->kind = Kind::Dialog;
  w->style = t->style & ~static_cast<DWORD>(WS_VISIBLE);
  w->exStyle = t->exStyle;
  w->templateId = templateId;
  w->proc = ClassWindowProc;
  w->dlgProc = proc;
  w->text = t->caption;
  w->baseX = base.x;
  w->baseY = base.y;
  if (child) w->parent = parent;
  else w->owner = parent ? TopLevelOf(parent) : nullptr;
  HWND hwnd = RegisterWindow(w);
  if (child) parentRecord->children.push_back(hwnd);

  auto* widget = new DialogWidget(hwnd, child ? parentRecord->widget.data() : nullptr);
  w->widget = widget;
  if (!child) widget->setWindowFlags(TopLevelFlags(t->style, t->exStyle));
  widget->setEnabled(!(t->style & WS_DISABLED));
  int width = DialogUnitsToPixelsX(t->cx, base);
  int height = DialogUnitsToPixelsY(t->cy, base);
  widget->resize(width, height);
  QPoint at(DialogUnitsToPixelsX(t->x, base), DialogUnitsToPixelsY(t->y, base));
  if (!child) {
    if (t->style & DS_CENTER) {
      QScreen* screen = QGuiApplication::primaryScreen();
      QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
      at = QPoint(area.center().x() - width / 2, area.center().y() - height / 2);
    } else if (WindowPtr owner = FindWindowRecord(w->owner); owner && owner->widget) {
      at += owner->widget->mapToGlobal(QPoint(0, 0));
    }
  }
  widget->move(at);
  w->ownFont = CreateFontForDialog(face, points, dpi);
  w->font = w->ownFont;
  ApplyFont(*w);
  ApplyText(*w);
  for (const DialogItemTemplate& item : t->items) CreateControl(*w, item, base);

  HWND focus = FirstTabStop(*w);
  LRESULT setFocus = Dispatch(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), initParam);
  if (!FindWindowRecord(hwnd)) return nullptr;  // destroyed while initialising
  if (setFocus && focus) {
    WindowPtr f = FindWindowRecord(focus);
    if (f && f->widget) f->widget->setFocus(Qt::OtherFocusReason);
  }
  w->initDone = true;
  if (t->style & WS_VISIBLE) SetVisible(*w, true);
  else if (!child && (w->style & WS_VISIBLE)) JournalShow(*w);
  return hwnd;
}

void EndDialogWindow(Window& w, INT_PTR result) {
  if (w.ended) return;
  w.ended = true;
  w.result = result;
  JournalClose(w, result);
  SetVisible(w, false);
  if (w.loop) w.loop->quit();
  if (w.onEnd) w.onEnd();
}

INT_PTR RunModal(HWND hwnd) {
  WindowPtr w = FindWindowRecord(hwnd);
  if (!w) return -1;
  w->modal = true;
  NoteModalBegin();
  if (!w->ended) {
    if (!(w->style & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOWNORMAL);
    JournalShow(*w);
  }
  if (!w->ended) {
    QEventLoop loop;
    w->loop = &loop;
    loop.exec();
    w->loop = nullptr;
  }
  NoteModalEnd();
  return w->result;
}

INT_PTR RunModalFromWorker(const std::function<HWND()>& create) {
  struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
  };
  auto waiter = std::make_shared<Waiter>();
  HWND hwnd = nullptr;
  INT_PTR result = -1;
  // The window is made and shown by the user-interface thread; only this
  // thread waits, so no event loop is nested for it.
  RunOnUi([&] {
    hwnd = create();
    WindowPtr w = FindWindowRecord(hwnd);
    if (!w) return;
    w->modal = true;
    w->onEnd = [waiter] {
      std::lock_guard<std::mutex> lock(waiter->mutex);
      waiter->ended = true;
      waiter->done.notify_all();
    };
    NoteModalBegin();
    if (w->ended) {
      w->onEnd();
    } else {
      if (!(w->style & WS_VISIBLE)) ShowWindow(hwnd, SW_SHOWNORMAL);
      JournalShow(*w);
    }
  });
  if (!hwnd) return -1;
  {
    std::unique_lock<std::mutex> lock(waiter->mutex);
    waiter->done.wait(lock, [&] { return waiter->ended; });
  }
  RunOnUi([&] {
    NoteModalEnd();
    if (WindowPtr w = FindWindowRecord(hwnd)) result = w->result;
  });
  return result;
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

