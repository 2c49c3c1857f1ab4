// Message boxes: a window with an icon, the message and the buttons of its
// style. A box opened on the user-interface thread runs its own modal loop;
// one opened on another thread is shown by the user-interface thread while
// only the calling thread waits.
#include <QEventLoop>
#include <QFontMetrics>
#include <QPainter>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <condition_variable>
#include <mutex>

#include "controls.h"
#include "desktop_internal.h"
#include "gdi_objects.h"
#include "host_font_config.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

std::vector<int> ButtonsOf(UINT style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

int DefaultIndex(UINT style, size_t count) {
  size_t index = (style & MB_DEFMASK) >> 8;
  return static_cast<int>(index < count ? index : 0);
}

// Button labels in the machine's language (code page 949: Korean).
QString ButtonLabel(int id) {
  bool korean = winsim::Config().codepage == 949;
  switch (id) {
    case IDOK: return korean ? QString::fromUtf16(u"\uD655\uC778") : "OK";
    case IDCANCEL: return korean ? QString::fromUtf16(u"\uCDE8\uC18C") : "Cancel";
    case IDYES: return korean ? QString::fromUtf16(u"\uC608(&Y)") : "&Yes";
    case IDNO: return korean ? QString::fromUtf16(u"\uC544\uB2C8\uC694(&N)") : "&No";
    case IDABORT: return korean ? QString::fromUtf16(u"\uC911\uC9C0(&A)") : "&Abort";
    case IDRETRY: return korean ? QString::fromUtf16(u"\uB2E4\uC2DC \uC2DC\uB3C4(&R)") : "&Retry";
    case IDIGNORE: return korean ? QString::fromUtf16(u"\uBB34\uC2DC(&I)") : "&Ignore";
    default: return QString::number(id);
  }
}

QStyle::StandardPixmap IconOf(UINT style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONHAND: return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION: return QStyle::SP_MessageBoxQuestion;
    case MB_ICONEXCLAMATION: return QStyle::SP_MessageBoxWarning;
    case MB_ICONASTERISK: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_CustomBase;
  }
}

class MessageBoxWidget : public DialogWidget {
 public:
  MessageBoxWidget(HWND hwnd, const QString& message, UINT style) : DialogWidget(hwnd, nullptr) {
    int dpi = ScreenDpi();
    auto px = [dpi](int v) { return MulDivInt(v, dpi, 96); };
    EnsureHostFontConfig();
    QFont font;
    font.setFamilies({"DejaVu Sans", "NanumGothic"});
    font.setPixelSize(MulDivInt(9, dpi, 72));
    setFont(font);
    QFontMetrics fm(font);
    int iconSize = (style & MB_ICONMASK) ? px(32) : 0;
    QRect text = fm.boundingRect(QRect(0, 0, px(420), 10000), Qt::TextWordWrap, message);
    int margin = px(12);
    int buttonW = px(75), buttonH = px(23), gap = px(8);
    int nButtons = static_cast<int>(ButtonsOf(style).size());
    int contentW = std::max(iconSize + (iconSize ? margin : 0) + text.width(), nButtons * (buttonW + gap) - gap);
    int contentH = std::max(iconSize, text.height());
    resize(contentW + 2 * margin, contentH + 3 * margin + buttonH);
    m_icon = QRect(margin, margin, iconSize, iconSize);
    m_text = QRect(margin + iconSize + (iconSize ? margin : 0), margin, text.width() + 1, contentH);
    m_buttonsTop = contentH + 2 * margin;
    m_message = message;
    m_pixmap = iconSize ? this->style()->standardIcon(IconOf(style)).pixmap(iconSize, iconSize) : QPixmap();
  }
  QRect ButtonRect(int index, int count) const {
    int dpi = ScreenDpi();
    int buttonW = MulDivInt(75, dpi, 96), buttonH = MulDivInt(23, dpi, 96), gap = MulDivInt(8, dpi, 96);
    int total = count * (buttonW + gap) - gap;
    int left = (width() - total) / 2;
    return QRect(left + index * (buttonW + gap), m_buttonsTop, buttonW, buttonH);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(240, 240, 240));
    if (!m_pixmap.isNull()) p.drawPixmap(m_icon.topLeft(), m_pixmap);
    p.setPen(Qt::black);
    p.drawText(m_text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, m_message);
  }

 private:
  QRect m_icon, m_text;
  int m_buttonsTop = 0;
  QString m_message;
  QPixmap m_pixmap;
};

HWND CreateMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  auto w = std::make_shared<Window>();
  w->kind = Kind::MessageBox;
  w->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  w->exStyle = (style & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
  w->text = caption;
  w->mbText = text;
  w->mbStyle = style;
  w->buttons = ButtonsOf(style);
  w->owner = owner ? TopLevelOf(owner) : nullptr;
  HWND hwnd = RegisterWindow(w);
  auto* widget = new MessageBoxWidget(hwnd, ToQString(text), style);
  w->widget = widget;
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
  if (w->exStyle & WS_EX_TOPMOST) flags |= Qt::WindowStaysOnTopHint;
  widget->setWindowFlags(flags);
  ApplyText(*w);
  int defIndex = DefaultIndex(style, w->buttons.size());
  for (size_t i = 0; i < w->buttons.size(); ++i) {
    auto b = std::make_shared<Window>();
    b->kind = Kind::Button;
    b->id = w->buttons[i];
    b->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP |
               (static_cast<int>(i) == defIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    b->text = FromQString(ButtonLabel(b->id));
    b->parent = hwnd;
    HWND button = RegisterWindow(b);
    w->children.push_back(button);
    b->widget = CreateControlWidget(*b, widget);
    b->widget->setGeometry(widget->ButtonRect(static_cast<int>(i), static_cast<int>(w->buttons.size())));
    b->widget->setFont(widget->font());
    ApplyText(*b);
    b->widget->show();
    if (static_cast<int>(i) == defIndex) b->widget->setFocus(Qt::OtherFocusReason);
  }
  // Centred over the owner, or on the screen.
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect area = screen ? screen->geometry() : QRect(0, 0, 1920, 1080);
  WindowPtr o = FindWindowRecord(w->owner);
  if (o && o->widget && (o->style & WS_VISIBLE)) area = o->widget->frameGeometry();
  widget->move(area.center().x() - widget->width() / 2, area.center().y() - widget->height() / 2);
  w->initDone = true;
  return hwnd;
}

// Disables the owner while the box is open, as a modal box does.
struct OwnerLock {
  HWND owner = nullptr;
  bool locked = false;
  void Lock(HWND o) {
    owner = o;
    locked = o && IsWindowEnabled(o);
    if (locked) EnableWindow(o, FALSE);
  }
  void Unlock() {
    if (locked) EnableWindow(owner, TRUE);
    locked = false;
  }
};

void OpenBox(HWND hwnd) {
  WindowPtr w = FindWindowRecord(hwnd);
  NoteMessageBoxOpen();
  SetVisible(*w, true);
  if (w->widget) w->widget->activateWindow();
}

}  // namespace

bool AnswerMessageBox(Window& box, int result) {
  if (box.kind != Kind::MessageBox || box.ended) return false;
  box.ended = true;
  box.result = result;
  JournalClose(box, result);
  NoteMessageBoxClosed();
  SetVisible(box, false);
  if (box.loop) box.loop->quit();
  if (box.onEnd) box.onEnd();
  return true;
}

LRESULT MessageBoxProc(Window& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      bool hasCancel = std::find(w.buttons.begin(), w.buttons.end(), IDCANCEL) != w.buttons.end();
      if (id == IDCANCEL && !hasCancel) {
        // Escape and the close box: a box with only OK gives IDOK; a Yes/No
        // box cannot be dismissed that way.
        if (w.buttons.size() == 1 && w.buttons[0] == IDOK) AnswerMessageBox(w, IDOK);
        return 0;
      }
      if (std::find(w.buttons.begin(), w.buttons.end(), id) != w.buttons.end()) AnswerMessageBox(w, id);
      return 0;
    }
    case DM_GETDEFID: {
      int index = DefaultIndex(w.mbStyle, w.buttons.size());
      return MAKELONG(w.buttons[static_cast<size_t>(index)], DC_HASDEFID);
    }
    case WM_CLOSE:
      MessageBoxProc(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) MessageBoxProc(w, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETICON:
    case WM_GETICON:
    default: return CallGenericProc(w, msg, wParam, lParam);
  }
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
  std::vector<int> buttons = ButtonsOf(style);
  int defaultResult = buttons[static_cast<size_t>(DefaultIndex(style, buttons.size()))];
  if (ProcessHidden()) return defaultResult;  // nothing is shown, nobody answers
  EnsureUi();
  if (OnUiThread()) {
    HWND hwnd = CreateMessageBox(owner, text, caption, style);
    WindowPtr w = FindWindowRecord(hwnd);
    OwnerLock lock;
    lock.Lock(w->owner);
    OpenBox(hwnd);
    if (!w->ended) {
      QEventLoop loop;
      w->loop = &loop;
      loop.exec();
      w->loop = nullptr;
    }
    lock.Unlock();
    INT_PTR result = w->result;
    DestroyWindowTree(hwnd);
    return static_cast<int>(result);
  }
  struct Waiter {
    std::mutex mutex;
    std::condition_variable done;
    bool ended = false;
  };
  auto waiter = std::make_shared<Waiter>();
  HWND hwnd = nullptr;
  OwnerLock lock;
  RunOnUi([&] {
    hwnd = CreateMessageBox(owner, text, caption, style);
    WindowPtr w = FindWindowRecord(hwnd);
    w->onEnd = [waiter] {
      std::lock_guard<std::mutex> guard(waiter->mutex);
      waiter->ended = true;
      waiter->done.notify_all();
    };
    lock.Lock(w->owner);
    OpenBox(hwnd);
  });
  {
    std::unique_lock<std::mutex> guard(waiter->mutex);
    waiter->done.wait(guard, [&] { return waiter->ended; });
  }
  int result = 0;
  RunOnUi([&] {
    lock.Unlock();
    if (WindowPtr w = FindWindowRecord(hwnd)) result = static_cast<int>(w->result);
    DestroyWindowTree(hwnd);
  });
  return result;
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

extern "C" {

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (hWnd && !FindWindowRecord(hWnd)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // Windows' caption for a box without one.
  std::string caption = lpCaption ? lpCaption
                                  : FromQString(winsim::Config().codepage == 949 ? QString::fromUtf16(u"\uC624\uB958")
                                                                                 : QStringLiteral("Error"));
  return ShowMessageBox(hWnd, lpText ? lpText : "", caption, uType);
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  std::string text = lpText ? FromQString(QString::fromUtf16(lpText)) : std::string();
  std::string caption = lpCaption ? FromQString(QString::fromUtf16(lpCaption)) : std::string();
  return MessageBoxA(hWnd, text.c_str(), lpCaption ? caption.c_str() : nullptr, uType);
}

}  // extern "C"
