// Widgets of the window kinds and the pieces of the dialog manager that
// belong to them (colours, clicks, Enter and Escape).
#include "controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFrame>

namespace winsim::desktop {
namespace {

void Tag(QWidget* widget, HWND hwnd) {
  widget->setProperty("winsim_hwnd", QVariant::fromValue<qulonglong>(reinterpret_cast<uintptr_t>(hwnd)));
}

HWND HandleOfWidget(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    QVariant v = widget->property("winsim_hwnd");
    if (v.isValid()) return reinterpret_cast<HWND>(static_cast<uintptr_t>(v.toULongLong()));
  }
  return nullptr;
}

// Windows colours of the classic dialog look.
const QColor kFace(240, 240, 240);
const QColor kShadow(160, 160, 160);
const QColor kHighlight(255, 255, 255);

void ApplyColors(QWidget* widget, const ControlColors& colors, QPainter& painter) {
  if (colors.fill) painter.fillRect(widget->rect(), colors.brush);
  QPalette palette = widget->palette();
  if (palette.color(QPalette::WindowText) != colors.text || palette.color(QPalette::ButtonText) != colors.text) {
    palette.setColor(QPalette::WindowText, colors.text);
    palette.setColor(QPalette::ButtonText, colors.text);
    palette.setColor(QPalette::Text, colors.text);
    widget->setPalette(palette);
  }
}

Qt::Alignment StaticAlignment(DWORD style) {
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: return Qt::AlignHCenter | Qt::AlignTop;
    case SS_RIGHT: return Qt::AlignRight | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
  }
}

bool IsTextStatic(DWORD style) {
  DWORD type = style & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

void DrawEtchedRect(QPainter& p, const QRect& r) {
  p.setPen(kShadow);
  p.drawRect(r.adjusted(0, 0, -2, -2));
  p.setPen(kHighlight);
  p.drawRect(r.adjusted(1, 1, -1, -1));
}

}  // namespace

ControlColors QueryControlColors(HWND control, UINT message, QPainter* painter) {
  ControlColors colors;
  WindowPtr w = FindWindowRecord(control);
  if (!w) return colors;
  HDC dc = NewDeviceContext(painter, control);
  HWND target = w->parent ? w->parent : control;
  LRESULT r = Dispatch(target, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  DeviceContext* state = LookupDC(dc);
  COLORREF brush = 0;
  colors.fill = BrushColor(reinterpret_cast<HBRUSH>(r), &brush);
  colors.brush = ToQColor(brush);
  if (state) {
    colors.text = ToQColor(state->textColor);
    colors.opaqueText = state->bkMode == OPAQUE;
    colors.textBackground = ToQColor(state->bkColor);
  }
  FreeDeviceContext(dc);
  return colors;
}

void PerformButtonClick(HWND button) {
  WindowPtr w = FindWindowRecord(button);
  if (!w || w->kind != Kind::Button) return;
  DWORD type = w->style & BS_TYPEMASK;
  if (type == BS_AUTOCHECKBOX) {
    Dispatch(button, BM_SETCHECK, w->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
  } else if (type == BS_AUTO3STATE) {
    Dispatch(button, BM_SETCHECK, (w->check + 1) % 3, 0);
  } else if (type == BS_AUTORADIOBUTTON) {
    // Unchecks the other automatic radio buttons of its group: the controls
    // from the nearest one with WS_GROUP up to the next one with WS_GROUP.
    WindowPtr parent = FindWindowRecord(w->parent);
    if (parent) {
      const auto& list = parent->children;
      size_t self = 0;
      while (self < list.size() && list[self] != button) ++self;
      size_t first = self;
      while (first > 0) {
        WindowPtr c = FindWindowRecord(list[first]);
        if (c && (c->style & WS_GROUP)) break;
        --first;
      }
      for (size_t i = first; i < list.size(); ++i) {
        WindowPtr c = FindWindowRecord(list[i]);
        if (!c) continue;
        if (i > first && (c->style & WS_GROUP)) break;
        if (c->hwnd != button && c->kind == Kind::Button && (c->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
          Dispatch(c->hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
      }
    }
    Dispatch(button, BM_SETCHECK, BST_CHECKED, 0);
  }
  if (w->widget) w->widget->setFocus(Qt::OtherFocusReason);
  if (w->parent)
    Dispatch(w->parent, WM_COMMAND, MAKEWPARAM(w->id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

DialogWidget::DialogWidget(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void DialogWidget::paintEvent(QPaintEvent*) {
  if (!FindWindowRecord(m_hwnd)) return;
  QPainter painter(this);
  HDC dc = NewDeviceContext(&painter, m_hwnd);
  Dispatch(m_hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  FreeDeviceContext(dc);
  SetActivePainter(m_hwnd, &painter);
  Dispatch(m_hwnd, WM_PAINT, 0, 0);
  SetActivePainter(m_hwnd, nullptr);
}

void DialogWidget::closeEvent(QCloseEvent* event) {
  event->ignore();  // the window procedure decides, as for the close box
  if (FindWindowRecord(m_hwnd)) Dispatch(m_hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWidget::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    DialogKey(m_hwnd, VK_RETURN);
  } else if (event->key() == Qt::Key_Escape) {
    DialogKey(m_hwnd, VK_ESCAPE);
  } else {
    QWidget::keyPressEvent(event);
  }
}

StaticWidget::StaticWidget(HWND hwnd, QWidget* parent) : QWidget(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  // Static controls are transparent to the mouse (HTTRANSPARENT).
  setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void StaticWidget::paintEvent(QPaintEvent*) {
  WindowPtr w = FindWindowRecord(m_hwnd);
  if (!w) return;
  QPainter painter(this);
  DWORD type = w->style & SS_TYPEMASK;
  QRect r = rect();
  switch (type) {
    case SS_ETCHEDFRAME:
      DrawEtchedRect(painter, r);
      return;
    case SS_ETCHEDHORZ:
      painter.setPen(kShadow);
      painter.drawLine(0, 0, r.width() - 1, 0);
      painter.setPen(kHighlight);
      painter.drawLine(0, 1, r.width() - 1, 1);
      return;
    case SS_ETCHEDVERT:
      painter.setPen(kShadow);
      painter.drawLine(0, 0, 0, r.height() - 1);
      painter.setPen(kHighlight);
      painter.drawLine(1, 0, 1, r.height() - 1);
      return;
    case SS_BLACKFRAME:
    case SS_GRAYFRAME:
    case SS_WHITEFRAME: {
      QColor c = type == SS_BLACKFRAME ? QColor(100, 100, 100) : type == SS_GRAYFRAME ? kShadow : kHighlight;
      painter.setPen(c);
      if (w->style & SS_SUNKEN) {
        painter.setPen(kShadow);
        painter.drawLine(0, 0, r.width() - 1, 0);
        painter.setPen(kHighlight);
        painter.drawLine(0, r.height() - 1, r.width() - 1, r.height() - 1);
      } else {
        painter.drawRect(r.adjusted(0, 0, -1, -1));
      }
      return;
    }
    case SS_BLACKRECT: painter.fillRect(r, QColor(100, 100, 100)); return;
    case SS_GRAYRECT: painter.fillRect(r, kShadow); return;
    case SS_WHITERECT: painter.fillRect(r, kHighlight); return;
    default: break;
  }
  ControlColors colors = QueryControlColors(m_hwnd, WM_CTLCOLORSTATIC, &painter);
  // A picture static without a picture paints nothing, not even its
  // background: what its parent drew under it stays visible, as on Windows.
  if (type == SS_BITMAP) return;
  if (colors.fill) painter.fillRect(r, colors.brush);
  if (!IsTextStatic(w->style)) return;
  QString text = ToQString(w->text);
  int flags = static_cast<int>(StaticAlignment(w->style));
  if (type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) flags |= Qt::TextWordWrap;
  flags |= (w->style & SS_NOPREFIX) ? 0 : Qt::TextShowMnemonic;
  painter.setFont(font());
  if (colors.opaqueText) {
    QRect bounds = painter.boundingRect(r, flags, text);
    painter.fillRect(bounds.intersected(r), colors.textBackground);
  }
  painter.setPen(colors.text);
  painter.drawText(r, flags, text);
}

PushButtonWidget::PushButtonWidget(HWND hwnd, QWidget* parent) : QPushButton(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  setAutoDefault(false);
  connect(this, &QPushButton::clicked, this, [hwnd] { Dispatch(hwnd, BM_CLICK, 0, 0); });
}

CheckBoxWidget::CheckBoxWidget(HWND hwnd, QWidget* parent) : QCheckBox(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  setTristate(true);
  connect(this, &QCheckBox::clicked, this, [hwnd] { Dispatch(hwnd, BM_CLICK, 0, 0); });
}

void CheckBoxWidget::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    ApplyColors(this, QueryControlColors(m_hwnd, WM_CTLCOLORSTATIC, &painter), painter);
  }
  QCheckBox::paintEvent(event);
}

RadioButtonWidget::RadioButtonWidget(HWND hwnd, QWidget* parent) : QRadioButton(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  setAutoExclusive(false);  // groups follow WS_GROUP, handled on click
  connect(this, &QRadioButton::clicked, this, [hwnd] { Dispatch(hwnd, BM_CLICK, 0, 0); });
}

void RadioButtonWidget::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    ApplyColors(this, QueryControlColors(m_hwnd, WM_CTLCOLORSTATIC, &painter), painter);
  }
  QRadioButton::paintEvent(event);
}

EditWidget::EditWidget(HWND hwnd, QWidget* parent) : QPlainTextEdit(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  Tag(viewport(), hwnd);
}

void EditWidget::paintEvent(QPaintEvent* event) {
  WindowPtr w = FindWindowRecord(m_hwnd);
  if (w) {
    // Read-only edits ask with WM_CTLCOLORSTATIC, as on Windows.
    UINT message = (w->style & ES_READONLY) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    QPainter probe(viewport());
    ControlColors colors = QueryControlColors(m_hwnd, message, &probe);
    probe.end();
    QPalette palette = this->palette();
    QColor base = colors.fill ? colors.brush : palette.color(QPalette::Base);
    if (palette.color(QPalette::Base) != base || palette.color(QPalette::Text) != colors.text) {
      palette.setColor(QPalette::Base, base);
      palette.setColor(QPalette::Text, colors.text);
      setPalette(palette);
    }
  }
  QPlainTextEdit::paintEvent(event);
}

ProgressWidget::ProgressWidget(HWND hwnd, QWidget* parent) : QProgressBar(parent), m_hwnd(hwnd) {
  Tag(this, hwnd);
  setTextVisible(false);
  setRange(0, 100);
  setValue(0);
}

QWidget* CreateControlWidget(Window& w, QWidget* parent) {
  switch (w.kind) {
    case Kind::Button: {
      DWORD type = w.style & BS_TYPEMASK;
      if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
        return new CheckBoxWidget(w.hwnd, parent);
      if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) return new RadioButtonWidget(w.hwnd, parent);
      auto* button = new PushButtonWidget(w.hwnd, parent);
      button->setDefault(type == BS_DEFPUSHBUTTON);
      return button;
    }
    case Kind::Edit: {
      auto* edit = new EditWidget(w.hwnd, parent);
      edit->setReadOnly(w.style & ES_READONLY);
      edit->setVerticalScrollBarPolicy((w.style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      edit->setHorizontalScrollBarPolicy((w.style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
      edit->setLineWrapMode((w.style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? QPlainTextEdit::NoWrap
                                                                       : QPlainTextEdit::WidgetWidth);
      if (!(w.exStyle & WS_EX_CLIENTEDGE) && !(w.style & WS_BORDER)) edit->setFrameShape(QFrame::NoFrame);
      return edit;
    }
    case Kind::Progress: return new ProgressWidget(w.hwnd, parent);
    default: return new StaticWidget(w.hwnd, parent);
  }
}

void DialogKey(HWND dialog, int virtualKey) {
  // The dialog that takes the key: the one holding the focus, else the
  // current page of the window, else the window itself.
  HWND top = TopLevelOf(dialog);
  HWND focus = HandleOfWidget(QApplication::focusWidget());
  HWND target = nullptr;
  HWND focusControl = nullptr;
  if (focus && TopLevelOf(focus) == top) {
    WindowPtr f = FindWindowRecord(focus);
    if (f && f->kind != Kind::Dialog) {
      focusControl = focus;
      target = f->parent;
    } else if (f) {
      target = f->hwnd;
    }
  }
  if (!target) {
    unsigned long long best = 0;
    for (const WindowPtr& w : AllWindows()) {
      if (w->kind == Kind::Dialog && w->parent && TopLevelOf(w->hwnd) == top && ReallyVisible(w->hwnd) &&
          w->showSeq >= best) {
        best = w->showSeq;
        target = w->hwnd;
      }
    }
  }
  if (!target) target = top;
  if (virtualKey == VK_ESCAPE) {
    HWND cancel = FindChild(target, IDCANCEL);
    if (cancel && !ReallyEnabled(cancel)) return;
    Dispatch(target, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    return;
  }
  WindowPtr fc = FindWindowRecord(focusControl);
  if (fc && fc->kind == Kind::Button &&
      ((fc->style & BS_TYPEMASK) == BS_PUSHBUTTON || (fc->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)) {
    Dispatch(target, WM_COMMAND, MAKEWPARAM(fc->id, BN_CLICKED), reinterpret_cast<LPARAM>(focusControl));
    return;
  }
  LRESULT def = Dispatch(target, DM_GETDEFID, 0, 0);
  int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
  HWND button = FindChild(target, id);
  if (button && !ReallyEnabled(button)) return;
  Dispatch(target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

}  // namespace winsim::desktop

using winsim::desktop::EnsureUi;

extern "C" {

// The common controls are always available; the call only checks its
// argument as Windows does. Like any first call to the window manager, it
// makes the calling thread the user-interface thread when there is none.
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (!picce || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) return FALSE;
  EnsureUi();
  return TRUE;
}

void WINAPI InitCommonControls(void) { EnsureUi(); }

}  // extern "C"
