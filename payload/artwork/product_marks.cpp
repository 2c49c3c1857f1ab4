#include "product_marks.h"

#include <QLinearGradient>
#include <QPainter>

#include "brand_palette.h"
#include "drawing_kit.h"

namespace artwork {

QImage PaintAppIcon(int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 48.0, side / 48.0);  // drawn on a 48-pixel grid

  QLinearGradient fill(0, 0, 0, 48);
  fill.setColorAt(0, Palette::BrandLight());
  fill.setColorAt(1, Palette::BrandDark());
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);
  DrawWirelessSign(painter, QPointF(24, 33), 20, 4, Palette::OnBrand());
  // Install badge: the mode's accent with a downward arrow.
  painter.setBrush(Accent(Tone::Install));
  painter.drawEllipse(QPointF(37, 37), 9, 9);
  painter.setBrush(Qt::white);
  painter.drawPolygon(QPolygonF({QPointF(32.5, 35), QPointF(41.5, 35), QPointF(37, 41.5)}));
  painter.drawRect(QRectF(35.5, 30.5, 3, 5));
  painter.end();
  return image;
}

QImage PaintLogo(const QString& family, QStringList& problems) {
  QImage image(200, 60, QImage::Format_RGB32);
  image.fill(Palette::Page());
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Palette::BrandLight());
  painter.drawRoundedRect(QRectF(6, 8, 44, 44), 8, 8);
  DrawWirelessSign(painter, QPointF(28, 42), 20, 3.5, Palette::OnBrand());
  DrawTextBlock(painter, QRectF(58, 10, 140, 24), MakeFont(family, 19, true), Palette::BrandDark(),
                QStringLiteral("Veltrane RAZ"), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("logo"), problems);
  DrawTextBlock(painter, QRectF(58, 34, 140, 18), MakeFont(family, 12, false), Palette::Hint(),
                QStringLiteral("Bramble Cast Inc."), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("logo"), problems);
  painter.end();
  return image;
}

}  // namespace artwork
