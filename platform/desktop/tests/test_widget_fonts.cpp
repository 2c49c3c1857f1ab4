// Widget fonts: every WM_SETFONT reaches its widget by the time anything is
// painted, the last one of a control winning, also when its handle was
// deleted before; once painted, a new font reaches its widget at once.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>
#include <string>
#include <utility>

#include "desktop_test_support.h"
#include "probe_templates.h"

using namespace winsim::desktop;

namespace {

LOGFONTA LogFontOf(HFONT font) {
  LOGFONTA lf;
  std::memset(&lf, 0xCC, sizeof lf);
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

HFONT Font(int height, int weight, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}

// The widget's font as the toolkit describes it, and the font the HFONT
// description makes.
std::pair<std::string, std::string> WidgetAndExpected(HWND hwnd, const LOGFONTA& lf) {
  std::pair<std::string, std::string> fonts;
  RunOnUi([&] {
    WindowPtr w = FindWindowRecord(hwnd);
    if (w && w->widget) fonts.first = w->widget->font().toString().toStdString();
    fonts.second = MakeQFont(lf).toString().toStdString();
  });
  return fonts;
}

TEST(WidgetFonts, EveryFontReachesItsWidgetByTheFirstPaint) {
  HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kControlsDialog), nullptr, nullptr, 0);
  ASSERT_NE(dlg, nullptr);
  const LOGFONTA dialogFont = LogFontOf(reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0)));
  HFONT courier = Font(-20, FW_BOLD, "Courier New");
  HFONT gulim = Font(15, FW_NORMAL, "Gulim");
  const LOGFONTA courierFont = LogFontOf(courier);
  const LOGFONTA gulimFont = LogFontOf(gulim);
  SendMessageA(GetDlgItem(dlg, 601), WM_SETFONT, reinterpret_cast<WPARAM>(courier), TRUE);
  SendMessageA(GetDlgItem(dlg, 606), WM_SETFONT, reinterpret_cast<WPARAM>(gulim), TRUE);
  SendMessageA(GetDlgItem(dlg, 606), WM_SETFONT, reinterpret_cast<WPARAM>(courier), TRUE);
  ASSERT_TRUE(DeleteObject(courier));  // the controls keep what it described

  QImage shot;
  RunOnUi([&] { shot = FindWindowRecord(dlg)->widget->grab().toImage(); });
  ASSERT_FALSE(shot.isNull());

  const struct {
    const char* name;
    HWND hwnd;
    const LOGFONTA& font;
  } rows[] = {
      {"the dialog", dlg, dialogFont},
      {"a radio button with a font of its own", GetDlgItem(dlg, 601), courierFont},
      {"a radio button with the dialog's font", GetDlgItem(dlg, 602), dialogFont},
      {"the check box", GetDlgItem(dlg, 604), dialogFont},
      {"the disabled push button", GetDlgItem(dlg, 605), dialogFont},
      {"the edit given two fonts", GetDlgItem(dlg, 606), courierFont},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    auto [widget, expected] = WidgetAndExpected(row.hwnd, row.font);
    EXPECT_EQ(widget, expected);
  }

  // After the first paint nothing waits for a paint any more.
  SendMessageA(GetDlgItem(dlg, 603), WM_SETFONT, reinterpret_cast<WPARAM>(gulim), FALSE);
  auto [widget, expected] = WidgetAndExpected(GetDlgItem(dlg, 603), gulimFont);
  EXPECT_EQ(widget, expected);
  DestroyWindow(dlg);
  DeleteObject(gulim);
}

}  // namespace
