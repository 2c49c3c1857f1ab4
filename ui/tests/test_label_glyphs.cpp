// Every text label of every dialog template of the setup program, created
// through the window manager at 96, 120, 144 and 192 DPI: its text, drawn
// with the font the label really has, stays inside the label's rectangle.
// A glyph that would reach past the rectangle is cut on screen.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <string>
#include <vector>

#include "desktop_internal.h"
#include "machine_fixture.h"
#include "resource.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "windows.h"

namespace {

using winsim::desktop::FindWindowRecord;
using winsim::desktop::Kind;
using winsim::desktop::RunOnUi;
using winsim::desktop::WindowPtr;

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// Texts labels show at run time although their templates say "Static" or
// nothing: the progress page's time and status lines are the tallest mix
// of Hangul, digits and punctuation the pages show in 8-unit labels.
const char kSample[] = "설치 시간 : 00분01초 인스톨 정보 가져오는 중... (gjpqy)";

struct Cut {
  std::string where;
};

bool TextStatic(DWORD style) {
  const DWORD type = style & SS_TYPEMASK;
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Rows and columns of ink that `text`, drawn in `size` as the label draws
// it, puts outside the label; empty when none.
std::string InkOutside(const QFont& font, const QSize& size, DWORD style, QString text) {
  int flags = Qt::AlignTop;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: flags |= Qt::AlignHCenter; break;
    case SS_RIGHT: flags |= Qt::AlignRight; break;
    default: flags |= Qt::AlignLeft; break;
  }
  const DWORD type = style & SS_TYPEMASK;
  if (type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP) flags |= Qt::TextWordWrap;
  flags |= (style & SS_NOPREFIX) ? 0 : Qt::TextShowMnemonic;
  constexpr int kMargin = 24;
  QImage canvas(size.width() + 2 * kMargin, size.height() + 2 * kMargin, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  {
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // The label clips its text to its rectangle; drawn unclipped here, what
    // lies outside is what the label cuts off.
    painter.drawText(QRect(QPoint(kMargin, kMargin), size), flags | Qt::TextDontClip, text);
  }
  int above = 0, below = 0, left = 0, right = 0;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      if (qGray(canvas.pixel(x, y)) > 160) continue;
      if (y < kMargin) ++above;
      else if (y >= kMargin + size.height()) ++below;
      else if (x < kMargin) ++left;
      else if (x >= kMargin + size.width()) ++right;
    }
  }
  if (!above && !below && !left && !right) return std::string();
  return "ink outside: " + std::to_string(above) + " above, " + std::to_string(below) + " below, " +
         std::to_string(left) + " left, " + std::to_string(right) + " right";
}

// One label's text for the check: its own, or the sample cut to what one
// line of the label holds (a label never shows more lines than it has room
// for; the wrapping is the label's own).
QString CheckedText(const WindowPtr& label, const QFont& font, int width) {
  QString text = QString::fromStdString(winsim::AnsiToUtf8(label->text));
  if (!text.isEmpty() && text != QStringLiteral("Static")) return text;
  text = QString::fromUtf8(kSample);
  const QFontMetrics metrics(font);
  while (text.size() > 1 && metrics.horizontalAdvance(text) > width) text.chop(1);
  return text;
}

TEST(LabelGlyphs, NoGlyphIsCutByItsLabelAtAnyDensity) {
  const int densities[] = {96, 120, 144, 192};
  const struct { WORD id; bool child; } templates[] = {
      {IDD_VELTRANEGTCSETUP_DIALOG, false}, {IDD_WELCOME, true}, {IDD_LICENSE, true}, {IDD_PROGRESS, true},
      {IDD_ERROR, false},                   {IDD_FINISH, true},  {IDD_NOTICE, false}};
  int checked = 0;
  for (int dpi : densities) {
    ASSERT_TRUE(winsim::SetConfigValue("dpi", std::to_string(dpi), nullptr));
    HWND host = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_ERROR), nullptr, QuietProc, 0);
    ASSERT_NE(host, nullptr);
    for (const auto& t : templates) {
      SetLastError(0xdeadbeef);
      HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(t.id), t.child ? host : nullptr, QuietProc, 0);
      ASSERT_NE(dialog, nullptr) << t.id << " at " << dpi << ": " << GetLastError();
      const WindowPtr record = FindWindowRecord(dialog);
      ASSERT_TRUE(record);
      for (HWND child : record->children) {
        const WindowPtr label = FindWindowRecord(child);
        if (!label || label->kind != Kind::Static || !TextStatic(label->style)) continue;
        std::string fault;
        QString text;
        RunOnUi([&] {
          const QFont font = winsim::desktop::MakeQFont(label->font);
          const QSize size = label->widget ? label->widget->size() : QSize();
          text = CheckedText(label, font, size.width());
          fault = size.isEmpty() ? "no widget" : InkOutside(font, size, label->style, text);
        });
        ++checked;
        EXPECT_EQ("", fault) << "template " << t.id << ", label " << label->id << " at " << dpi << " dpi: \""
                             << text.toStdString() << "\"";
      }
      DestroyWindow(dialog);
    }
    DestroyWindow(host);
  }
  // 7 templates' text labels at four densities.
  EXPECT_GE(checked, 4 * 20);
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "96", nullptr));
}

}  // namespace
