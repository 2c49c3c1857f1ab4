// Operations on window records that several parts share: texts reaching
// the widgets, showing and hiding, destruction.
#include <QPlainTextEdit>
#include <QAbstractButton>
#include <QTimer>

#include "controls.h"
#include "desktop_internal.h"

namespace winsim::desktop {

QString ToQString(const std::string& ansi) {
  if (ansi.empty()) return QString();
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::u16string wide(static_cast<size_t>(n > 0 ? n : 0), u'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::string FromQString(const QString& text) {
  if (text.isEmpty()) return std::string();
  const auto* wide = reinterpret_cast<const WCHAR*>(text.utf16());
  int n = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

void ApplyText(Window& w) {
  if (!w.widget) return;
  QString text = ToQString(w.text);
  switch (w.kind) {
    case Kind::Dialog:
    case Kind::MessageBox:
      if (IsTopLevel(w)) w.widget->setWindowTitle(text);
      break;
    case Kind::Button:
      if (auto* button = qobject_cast<QAbstractButton*>(w.widget.data())) button->setText(text);
      break;
    case Kind::Edit:
      if (auto* edit = qobject_cast<QPlainTextEdit*>(w.widget.data())) {
        // Both CR LF and a lone LF end a line, as in the edit control of
        // current Windows.
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        edit->setPlainText(text);
      }
      break;
    default: w.widget->update(); break;
  }
}

void SetVisible(Window& w, bool visible) {
  bool was = (w.style & WS_VISIBLE) != 0;
  if (visible) w.style |= WS_VISIBLE;
  else w.style &= ~static_cast<DWORD>(WS_VISIBLE);
  if (!w.widget) return;
  if (visible && !was) w.showSeq = NextShowSeq();
  bool top = IsTopLevel(w);
  if (top && ProcessHidden()) return;  // started hidden: nothing is shown
  w.widget->setVisible(visible);
  if (!InTimerDispatch()) NoteActivity();
  if (visible && !was && w.kind == Kind::Dialog && w.parent) JournalPage(w);
  if (visible && top && w.initDone) JournalShow(w);
  if (visible && !was) NoteWindowReady();
}

void DestroyWindowTree(HWND hwnd) {
  WindowPtr w = FindWindowRecord(hwnd);
  if (!w || w->destroyed) return;
  w->destroyed = true;
  // WM_DESTROY goes to the parent before its children, WM_NCDESTROY after.
  Dispatch(hwnd, WM_DESTROY, 0, 0);
  std::vector<HWND> children = w->children;
  for (HWND child : children) DestroyWindowTree(child);
  for (auto& [id, timer] : w->timers) timer->stop();
  w->timers.clear();
  if (IsTopLevel(*w) && w->shownLogged && w->kind == Kind::Dialog && !w->modal) JournalClose(*w, 0);
  Dispatch(hwnd, WM_NCDESTROY, 0, 0);
  if (WindowPtr parent = FindWindowRecord(w->parent)) {
    auto& list = parent->children;
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
  }
  UnregisterWindow(hwnd);
  if (w->widget) {
    w->widget->hide();
    w->widget->deleteLater();
  }
  if (w->ownFont) DeleteObject(w->ownFont);
  if (!InTimerDispatch()) NoteActivity();
}

}  // namespace winsim::desktop
