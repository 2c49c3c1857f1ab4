// Dialog base units and the conversion of templates to pixels.
#include <gtest/gtest.h>

#include "desktop_test_support.h"
#include "probe_templates.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

using namespace winsim::desktop;

namespace {

struct BaseUnitRow {
  const char* name;
  std::u16string face;
  int points;
  int dpi;
  int x;
  int y;
};

TEST(DialogUnits, BaseUnitsFollowTheFontAndTheDensity) {
  const BaseUnitRow rows[] = {
      {"shell dlg 8 at 96", u"MS Shell Dlg", 8, 96, 6, 13},
      {"shell dlg 8 at 120", u"MS Shell Dlg", 8, 120, 7, 16},
      {"tahoma 8 at 144", u"Tahoma", 8, 144, 8, 19},
      {"shell dlg 9 at 96", u"MS Shell Dlg", 9, 96, 6, 14},
      {"gulim 9 at 96", u"\uAD74\uB9BC", 9, 96, 6, 12},
      {"gulim 9 at 144", u"\uAD74\uB9BC", 9, 144, 9, 18},
      {"gulim 9 at 192", u"\uAD74\uB9BC", 9, 192, 12, 24},
      {"face case ignored", u"ms shell dlg", 8, 96, 6, 13},
  };
  for (const BaseUnitRow& row : rows) {
    SCOPED_TRACE(row.name);
    BaseUnits units = DialogBaseUnits(winsim::Utf16ToAnsi(row.face), row.points, row.dpi);
    EXPECT_EQ(units.x, row.x);
    EXPECT_EQ(units.y, row.y);
  }
}

TEST(DialogUnits, MulDivRoundsHalfAwayFromZero) {
  const struct {
    int a, b, c, expected;
  } rows[] = {{7, 3, 2, 11}, {-7, 3, 2, -11}, {5, 13, 8, 8}, {1, 1, 0, -1}, {100, 13, 8, 163}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.a) + "*" + std::to_string(row.b) + "/" + std::to_string(row.c));
    EXPECT_EQ(MulDivInt(row.a, row.b, row.c), row.expected);
  }
}

TEST(DialogUnits, TemplatesBecomePixelsAtTheMachineDensity) {
  const struct {
    const char* dpi;
    int width, height, okX, okY, okWidth;
  } rows[] = {
      // 200 x 100 units, OK at 40,70 (50 x 14), "MS Shell Dlg" 8.
      {"96", 300, 163, 60, 114, 75},
      {"120", 350, 200, 70, 140, 88},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dpi);
    std::string error;
    ASSERT_TRUE(winsim::SetConfigValue("dpi", row.dpi, &error)) << error;
    HWND dlg = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(kProbeDialog), nullptr, nullptr, 0);
    ASSERT_NE(dlg, nullptr);
    RECT client{}, ok{};
    ASSERT_TRUE(GetClientRect(dlg, &client));
    EXPECT_EQ(client.right, row.width);
    EXPECT_EQ(client.bottom, row.height);
    HWND button = GetDlgItem(dlg, IDOK);
    ASSERT_TRUE(GetWindowRect(button, &ok));
    POINT topLeft{ok.left, ok.top};
    ScreenToClient(dlg, &topLeft);
    EXPECT_EQ(topLeft.x, row.okX);
    EXPECT_EQ(topLeft.y, row.okY);
    EXPECT_EQ(ok.right - ok.left, row.okWidth);
    DestroyWindow(dlg);
  }
  std::string error;
  winsim::SetConfigValue("dpi", "96", &error);
}

}  // namespace
