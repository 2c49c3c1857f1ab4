// Colours shared by every picture shipped with the setup program, so the
// banners, page images, icon and logo look like one product.
#pragma once

#include <QColor>

namespace artwork {

struct Palette {
  static QColor BrandLight() { return QColor(0x14, 0x6E, 0xC2); }  // top of banner gradients
  static QColor BrandDark() { return QColor(0x0A, 0x35, 0x66); }   // bottom of banners, headings
  static QColor BrandTint() { return QColor(0xE8, 0xF1, 0xFA); }   // faint decorations on white
  static QColor OnBrand() { return QColor(0xFF, 0xFF, 0xFF); }     // text on a banner
  static QColor OnBrandSoft() { return QColor(0xBF, 0xD9, 0xF2); }
  static QColor Body() { return QColor(0x33, 0x33, 0x33); }
  static QColor Hint() { return QColor(0x6B, 0x6B, 0x6B); }
  static QColor Page() { return QColor(0xFF, 0xFF, 0xFF); }
};

// Accent of a page: tells install, uninstall and a reverted install apart.
enum class Tone { Install, Uninstall, Reverted };

inline QColor Accent(Tone tone) {
  switch (tone) {
    case Tone::Install: return QColor(0x1F, 0xA3, 0xC8);
    case Tone::Uninstall: return QColor(0xE0, 0x7B, 0x39);
    case Tone::Reverted: return QColor(0xD0, 0x8A, 0x1E);
  }
  return QColor(0x1F, 0xA3, 0xC8);
}

}  // namespace artwork
