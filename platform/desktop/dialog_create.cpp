// Dialogs from templates: the registry of the program's templates, creation
// of a dialog and its controls with dialog units converted at the machine's
// density, the modal loop, and EndDialog.
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <condition_variable>
#include <mutex>
#include <strings.h>

#include "controls.h"
#include "desktop_internal.h"
#include "dlgres.h"

namespace winsim::desktop {
namespace {

std::mutex g_registryMutex;
std::map<UINT, const DLGTEMPLATE_RES*>& Registry() {
  // Never destroyed: other threads may use it while the process exits.
  static auto* registry = new std::map<UINT, const DLGTEMPLATE_RES*>;
  return *registry;
}

Kind KindOfClass(LPCSTR cls) {
  if (!cls) return Kind::Static;
  if (strcasecmp(cls, "Button") == 0) return Kind::Button;
  if (strcasecmp(cls, "Edit") == 0) return Kind::Edit;
  if (strcasecmp(cls, "msctls_progress32") == 0) return Kind::Progress;
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

void CreateControl(Window& dialog, const DLGITEM_RES& item, const BaseUnits& base) {
  auto c = std::make_shared<Window>();
  c->kind = KindOfClass(item.className);
  c->id = item.id;
  c->style = item.style | WS_CHILD;
  c->exStyle = item.exStyle;
  c->text = item.text ? item.text : "";
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

HWND CreateDialogFromTemplate(UINT templateId, HWND parent, CWnd* object) {
  const DLGTEMPLATE_RES* t = AfxFindDialogTemplate(templateId);
  if (!t) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  bool child = (t->style & WS_CHILD) != 0;
  WindowPtr parentRecord = FindWindowRecord(parent);
  if (child && !parentRecord) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  int dpi = ScreenDpi();
  bool hasFont = (t->style & DS_SETFONT) && t->faceName;
  std::string face = hasFont ? t->faceName : "MS Shell Dlg";
  int points = hasFont ? t->pointSize : 8;
  BaseUnits base = DialogBaseUnits(face, points, dpi);

  auto w = std::make_shared<Window>();
  w->kind = Kind::Dialog;
  w->style = t->style & ~static_cast<DWORD>(WS_VISIBLE);
  w->exStyle = t->exStyle;
  w->templateId = t->id;
  w->text = t->caption ? t->caption : "";
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
  for (int i = 0; i < t->itemCount; ++i) CreateControl(*w, t->items[i], base);

  if (object) {
    object->m_hWnd = hwnd;
    w->attached = object;
  }
  HWND focus = FirstTabStop(*w);
  LRESULT setFocus = Dispatch(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), 0);
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

void CenterWindowOver(HWND hwnd, HWND alternateOwner) {
  WindowPtr w = FindWindowRecord(hwnd);
  if (!w || !w->widget) return;
  QRect area;
  HWND center = alternateOwner ? alternateOwner : (w->parent ? w->parent : w->owner);
  WindowPtr c = FindWindowRecord(center);
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect screenArea = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
  if (w->parent) {
    if (c && c->widget) area = QRect(QPoint(0, 0), c->widget->size());
  } else if (c && c->widget && (c->style & WS_VISIBLE) && !c->widget->isMinimized()) {
    area = c->widget->frameGeometry();
  } else {
    area = screenArea;
  }
  QRect own = w->parent ? w->widget->geometry() : w->widget->frameGeometry();
  int left = (area.left() + area.left() + area.width()) / 2 - own.width() / 2;
  int top = (area.top() + area.top() + area.height()) / 2 - own.height() / 2;
  if (!w->parent) {
    // Keep the dialog on the screen.
    if (left + own.width() > screenArea.right() + 1) left = screenArea.right() + 1 - own.width();
    if (left < screenArea.left()) left = screenArea.left();
    if (top + own.height() > screenArea.bottom() + 1) top = screenArea.bottom() + 1 - own.height();
    if (top < screenArea.top()) top = screenArea.top();
  }
  SetWindowPos(hwnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

BOOL WINAPI AfxRegisterDialogTemplate(const DLGTEMPLATE_RES* dialogTemplate) {
  if (!dialogTemplate) return FALSE;
  std::lock_guard<std::mutex> lock(g_registryMutex);
  auto [it, inserted] = Registry().emplace(dialogTemplate->id, dialogTemplate);
  return inserted || it->second == dialogTemplate;
}

const DLGTEMPLATE_RES* WINAPI AfxFindDialogTemplate(UINT id) {
  std::lock_guard<std::mutex> lock(g_registryMutex);
  auto it = Registry().find(id);
  return it == Registry().end() ? nullptr : it->second;
}
