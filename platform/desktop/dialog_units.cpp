// Dialog base units. Windows derives them from the dialog font: the
// horizontal unit is the average width of "A".."Z" and "a".."z"
// ((extent / 26 + 1) / 2, integer arithmetic) and the vertical unit the
// font's cell height (ascent + descent, each rounded), at the font's pixel
// height MulDiv(points, dpi, 72). A dialog unit is then base.x / 4 by
// base.y / 8 pixels.
//
// Metrics per em of the faces the program's templates name (the Windows
// fonts' own figures, so that layouts match Windows whatever font the host
// draws with):
//
//   face                            ascent   descent  "A..Za..z" width
//   MS Shell Dlg, Tahoma,           1.0005   0.2065   26.4
//   MS Sans Serif
//   Gulim (굴림), Dotum (돋움),       0.86     0.14     26.0
//   Batang (바탕)
//   anything else                   0.905    0.212    26.0
//
// For example "MS Shell Dlg" 8 pt at 96 dpi is 11 px high and gives base
// units 6 x 13, at 120 dpi 7 x 16; "굴림" 9 pt at 96 dpi gives 6 x 12, at
// 144 dpi 9 x 18.
#include <cmath>

#include "desktop_internal.h"
#include "winsim/codepage.h"

namespace winsim::desktop {
namespace {

const FontMetricsRow kRows[] = {
    {u"MS Shell Dlg", 2049.0 / 2048.0, 423.0 / 2048.0, 26.4},
    {u"MS Shell Dlg 2", 2049.0 / 2048.0, 423.0 / 2048.0, 26.4},
    {u"Tahoma", 2049.0 / 2048.0, 423.0 / 2048.0, 26.4},
    {u"MS Sans Serif", 2049.0 / 2048.0, 423.0 / 2048.0, 26.4},
    {u"Microsoft Sans Serif", 2049.0 / 2048.0, 423.0 / 2048.0, 26.4},
    {u"\uAD74\uB9BC", 0.86, 0.14, 26.0},            // 굴림
    {u"Gulim", 0.86, 0.14, 26.0},
    {u"\uAD74\uB9BC\uCCB4", 0.86, 0.14, 26.0},      // 굴림체
    {u"\uB3CB\uC6C0", 0.86, 0.14, 26.0},            // 돋움
    {u"Dotum", 0.86, 0.14, 26.0},
    {u"\uBC14\uD0D5", 0.86, 0.14, 26.0},            // 바탕
    {u"Batang", 0.86, 0.14, 26.0},
};
const FontMetricsRow kDefault = {u"", 0.905, 0.212, 26.0};

}  // namespace

int MulDivInt(int a, int b, int c) {
  if (c == 0) return -1;
  long long product = static_cast<long long>(a) * b;
  long long half = (c > 0 ? c : -c) / 2;
  bool negative = (product < 0) != (c < 0);
  long long magnitude = (product < 0 ? -product : product) + half;
  long long result = magnitude / (c > 0 ? c : -c);
  return static_cast<int>(negative ? -result : result);
}

const FontMetricsRow& FaceMetrics(const std::u16string& face) {
  for (const FontMetricsRow& row : kRows) {
    if (winsim::EqualsNoCase(face, row.face)) return row;
  }
  return kDefault;
}

BaseUnits DialogBaseUnits(const std::string& face, int pointSize, int dpi) {
  std::u16string wide = ToQString(face).toStdU16String();
  const FontMetricsRow& row = FaceMetrics(wide);
  int pixels = MulDivInt(pointSize > 0 ? pointSize : 8, dpi, 72);
  int height = static_cast<int>(std::lround(pixels * row.ascent)) + static_cast<int>(std::lround(pixels * row.descent));
  int extent = static_cast<int>(pixels * row.letters);
  int width = (extent / 26 + 1) / 2;
  return BaseUnits{width, height};
}

int DialogUnitsToPixelsX(int units, const BaseUnits& base) { return MulDivInt(units, base.x, 4); }
int DialogUnitsToPixelsY(int units, const BaseUnits& base) { return MulDivInt(units, base.y, 8); }

}  // namespace winsim::desktop
