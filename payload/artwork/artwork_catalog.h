// The pictures the wizard pages show, by base name: their layout, their
// size at 96 DPI and the Korean text each one carries.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

#include "brand_palette.h"

namespace artwork {

enum class Layout {
  SideBanner,    // tall brand strip left of the welcome and finish pages
  HeaderBanner,  // brand strip at the top right of the licence and progress pages
  SidePage,      // content right of the side banner
  HeaderText,    // title block at the top left of the licence and progress pages
  LowerPanel,    // progress page content under the header separator
};

enum class Mark { None, Wireless, Done, Undo };

struct Picture {
  QString base;
  Layout layout;
  QSize size;  // at 96 DPI
  Tone tone;
  QString heading;
  QStringList lines;  // paragraphs; for a header banner its subtitle
  QStringList steps;  // work stages shown on a lower panel
  QString footer;
  Mark mark;
};

// Screen densities the pages look for, and the name part of each.
struct Density {
  const char* suffix;  // "" at 96 DPI
  double scale;
};

const std::vector<Picture>& Catalog();
const std::vector<Density>& Densities();

bool IsBanner(const Picture& p);

// Banners exist at every density; page images skip 120 DPI, where the pages
// load the 96-DPI page image.
bool HasDensity(const Picture& p, const Density& d);

// "<base><suffix>_kor.png"
QString FileName(const Picture& p, const Density& d);

// Base size times the density scale, rounded to whole pixels.
QSize PixelSize(const Picture& p, const Density& d);

}  // namespace artwork
