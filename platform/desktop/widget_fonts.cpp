// Widget fonts: the toolkit font of a window's HFONT reaching its widget.
//
// Making that font fits a substitute face to the cell of the requested
// Windows face, which measures faces and so loads the font database
// (configuration, font files). Nothing needs the widgets' fonts before
// something is painted: positions and sizes come from dialog units and the
// text metrics of the requested face. So a process's fonts are only noted
// until its first paint event, and the first window is shown without
// waiting for the font database. All user-interface-thread only.
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <utility>
#include <vector>

#include "desktop_internal.h"

namespace winsim::desktop {
namespace {

struct NotedFont {
  QPointer<QWidget> widget;
  LOGFONTA font;  // a copy: the HFONT may be deleted before it is applied
};

// Applies the noted fonts just before the first paint event of the process
// is delivered (to any widget, also through QWidget::grab).
class FirstPaintFilter : public QObject {
 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ApplyNotedFonts();
    return false;
  }
};

bool g_applyAtOnce = false;
std::vector<NotedFont> g_noted;
FirstPaintFilter* g_filter = nullptr;

}  // namespace

void ApplyFont(Window& w) {
  if (!w.widget || !w.font) return;
  if (g_applyAtOnce) {
    w.widget->setFont(MakeQFont(w.font));
    return;
  }
  LOGFONTA lf{};
  if (!GetLogFont(w.font, &lf)) {
    w.widget->setFont(QFont());  // what a handle that is no font gives
    return;
  }
  g_noted.push_back({w.widget, lf});
  if (!g_filter) {
    g_filter = new FirstPaintFilter;  // lives until the process ends
    qApp->installEventFilter(g_filter);
  }
}

void ApplyNotedFonts() {
  if (g_applyAtOnce) return;
  g_applyAtOnce = true;
  if (g_filter) qApp->removeEventFilter(g_filter);
  // In the order noted: a dialog's font reaches its children that have none
  // of their own, as when it was set at once.
  std::vector<NotedFont> noted = std::move(g_noted);
  g_noted.clear();
  for (const NotedFont& n : noted) {
    if (n.widget) n.widget->setFont(MakeQFont(n.font));
  }
}

}  // namespace winsim::desktop
