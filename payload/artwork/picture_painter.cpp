#include "picture_painter.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPen>

#include "drawing_kit.h"

namespace artwork {
namespace {

// Rows of a finish picture (96-DPI pixels) that the restart label covers:
// 145..183 at 96, 144 and 192 DPI, and 181..228 where the 96-DPI picture is
// drawn at 120 DPI, with a little room.
constexpr qreal kRestartBandTop = 140;
constexpr qreal kRestartBandBottom = 234;

class Canvas {
 public:
  Canvas(const Picture& picture, const QString& family, QStringList& problems)
      : p_(picture), family_(family), problems_(problems) {}

  void Paint(QPainter& painter) {
    switch (p_.layout) {
      case Layout::SideBanner: SideBanner(painter); break;
      case Layout::HeaderBanner: HeaderBanner(painter); break;
      case Layout::SidePage: SidePage(painter); break;
      case Layout::HeaderText: HeaderText(painter); break;
      case Layout::LowerPanel: LowerPanel(painter); break;
    }
  }

 private:
  qreal Text(QPainter& painter, const QRectF& box, int px, bool bold, const QColor& color, const QString& text,
             int align = Qt::AlignLeft | Qt::AlignTop) {
    return DrawTextBlock(painter, box, MakeFont(family_, px, bold), color, text, align, p_.base, problems_);
  }

  QString Line(int i) const { return i < p_.lines.size() ? p_.lines[i] : QString(); }

  qreal W() const { return p_.size.width(); }
  qreal H() const { return p_.size.height(); }

  // Tall brand strip: sign, product name, tagline, maker.
  void SideBanner(QPainter& painter) {
    QLinearGradient fill(0, 0, 0, H());
    fill.setColorAt(0, Palette::BrandLight());
    fill.setColorAt(1, Palette::BrandDark());
    painter.fillRect(QRectF(0, 0, W(), H()), fill);

    // Faint rings in the lower corner give the strip some depth.
    QColor ring = Palette::OnBrand();
    ring.setAlpha(20);
    painter.setPen(QPen(ring, 10));
    painter.setBrush(Qt::NoBrush);
    for (qreal r : {70.0, 115.0, 160.0}) painter.drawEllipse(QPointF(W() - 10, H() + 10), r, r);

    DrawWirelessSign(painter, QPointF(W() / 2, 118), 50, 7, Palette::OnBrand());
    const int centre = Qt::AlignHCenter | Qt::AlignTop;
    Text(painter, QRectF(0, 136, W(), 34), 26, true, Palette::OnBrand(), p_.heading, centre);
    Text(painter, QRectF(0, 172, W(), 22), 15, false, Palette::OnBrandSoft(), Line(0), centre);
    painter.setPen(QPen(Palette::OnBrandSoft(), 1.5));
    painter.drawLine(QPointF(W() / 2 - 24, 206), QPointF(W() / 2 + 24, 206));
    Text(painter, QRectF(0, 216, W(), 20), 13, true, Palette::OnBrand(), Line(1), centre);
    Text(painter, QRectF(0, H() - 34, W(), 18), 12, false, Palette::OnBrandSoft(), p_.footer, centre);
  }

  // Header strip: product name and what the wizard does, sign on the right,
  // a line in the mode's accent along the bottom.
  void HeaderBanner(QPainter& painter) {
    QLinearGradient fill(0, 0, W(), 0);
    fill.setColorAt(0, Palette::BrandLight());
    fill.setColorAt(1, Palette::BrandDark());
    painter.fillRect(QRectF(0, 0, W(), H()), fill);
    painter.fillRect(QRectF(0, H() - 3, W(), 3), Accent(p_.tone));
    DrawWirelessSign(painter, QPointF(W() - 28, 40), 22, 3.5, Palette::OnBrand());
    Text(painter, QRectF(12, 7, 140, 22), 16, true, Palette::OnBrand(), p_.heading);
    Text(painter, QRectF(12, 29, 140, 18), 12, false, Palette::OnBrandSoft(), Line(0));
  }

  // Content beside the tall banner: sign or decoration, heading, accent
  // bar, paragraphs, and the button hint at the bottom.
  void SidePage(QPainter& painter) {
    if (p_.mark == Mark::Done || p_.mark == Mark::Undo) return FinishPage(painter);
    painter.fillRect(QRectF(0, 0, W(), H()), Palette::Page());
    const qreal left = 24, width = W() - 2 * left;
    qreal y = 28;
    if (p_.mark == Mark::Wireless)  // faint, behind the text
      DrawWirelessSign(painter, QPointF(W() - 62, H() - 44), 90, 14, Palette::BrandTint());
    y += Text(painter, QRectF(left, y, width, 54), 20, true, Palette::BrandDark(), p_.heading);
    painter.fillRect(QRectF(left, y + 8, 44, 3), Accent(p_.tone));
    y += 24;

    const QRectF footer(left, H() - 42, width, 20);
    for (const QString& paragraph : p_.lines) {
      y += Text(painter, QRectF(left, y, width, footer.top() - 8 - y), 13, false, Palette::Body(), paragraph);
      y += 10;
    }
    Text(painter, footer, 12, false, Palette::Hint(), p_.footer);
  }

  // The finish pictures. The page may show its restart label over them
  // (at 117,97 by 216x25 dialog units): the band it covers at every
  // density, also where the 96-DPI picture is drawn at 120 DPI, stays empty
  // page background. The sign stands left of the heading; paragraphs that
  // do not fit above the band go below it.
  void FinishPage(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, W(), H()), Palette::Page());
    const qreal left = 24, width = W() - 2 * left;
    const QPointF sign(left + 18, 44);
    if (p_.mark == Mark::Done) DrawDoneSign(painter, sign, 18, Accent(p_.tone));
    else DrawUndoSign(painter, sign, 18, Accent(p_.tone));
    const qreal headingLeft = left + 46;
    Text(painter, QRectF(headingLeft, 30, W() - headingLeft - left, 28), 20, true, Palette::BrandDark(), p_.heading);
    painter.fillRect(QRectF(headingLeft, 62, 44, 3), Accent(p_.tone));

    const QRectF footer(left, H() - 26, width, 18);
    const QFont body = MakeFont(family_, 12, false);
    qreal y = 76;
    bool belowBand = false;
    for (const QString& paragraph : p_.lines) {
      const qreal needed =
          QFontMetricsF(body).boundingRect(QRectF(left, y, width, 1000), Qt::TextWordWrap, paragraph).height();
      if (!belowBand && y + needed > kRestartBandTop) {
        y = kRestartBandBottom;
        belowBand = true;
      }
      const qreal bottom = belowBand ? footer.top() - 4 : kRestartBandTop;
      y += Text(painter, QRectF(left, y, width, bottom - y), 12, false, Palette::Body(), paragraph);
      y += 8;
    }
    Text(painter, footer, 12, false, Palette::Hint(), p_.footer);
  }

  // Title block in the header of the licence and progress pages.
  void HeaderText(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, W(), H()), Palette::Page());
    painter.fillRect(QRectF(0, 6, 3, H() - 12), Accent(p_.tone));
    Text(painter, QRectF(12, 4, W() - 16, 22), 16, true, Palette::BrandDark(), p_.heading);
    Text(painter, QRectF(12, 27, W() - 16, 18), 12, false, Palette::Body(), Line(0));
  }

  // Progress page body: what is happening, the three stages of the work,
  // and a warning.
  void LowerPanel(QPainter& painter) {
    painter.fillRect(QRectF(0, 0, W(), H()), Palette::Page());
    const qreal left = 10, width = W() - 2 * left;
    Text(painter, QRectF(left, 4, width, 22), 16, true, Palette::BrandDark(), p_.heading);
    Text(painter, QRectF(left, 28, width, 18), 12, false, Palette::Body(), Line(0));

    const int count = static_cast<int>(p_.steps.size());
    const qreal gap = 30, chipW = (width - gap * (count - 1)) / count, chipH = 28, top = 54;
    for (int i = 0; i < count; ++i) {
      const QRectF chip(left + i * (chipW + gap), top, chipW, chipH);
      painter.setPen(QPen(Accent(p_.tone), 1.2));
      painter.setBrush(Palette::BrandTint());
      painter.drawRoundedRect(chip, 6, 6);
      const QPointF disc(chip.left() + 16, chip.center().y());
      painter.setPen(Qt::NoPen);
      painter.setBrush(Accent(p_.tone));
      painter.drawEllipse(disc, 9, 9);
      Text(painter, QRectF(disc.x() - 9, disc.y() - 8, 18, 16), 11, true, Qt::white, QString::number(i + 1),
           Qt::AlignCenter);
      Text(painter, QRectF(chip.left() + 32, chip.top() + 6, chipW - 36, 17), 12, false, Palette::BrandDark(),
           p_.steps[i], Qt::AlignLeft | Qt::AlignVCenter);
      if (i + 1 < count) {  // chevron towards the next stage
        const qreal x = chip.right() + gap / 2, y = chip.center().y();
        painter.setPen(QPen(Palette::Hint(), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({QPointF(x - 3, y - 6), QPointF(x + 3, y), QPointF(x - 3, y + 6)}));
      }
    }
    Text(painter, QRectF(left, 94, width, 18), 12, false, Palette::Hint(), p_.footer);
  }

  const Picture& p_;
  const QString& family_;
  QStringList& problems_;
};

}  // namespace

QImage PaintPicture(const Picture& picture, QSize pixelSize, const QString& family, QStringList& problems) {
  QImage image(pixelSize, QImage::Format_RGB32);
  image.fill(Palette::Page());
  QPainter painter(&image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  painter.scale(static_cast<qreal>(pixelSize.width()) / picture.size.width(),
                static_cast<qreal>(pixelSize.height()) / picture.size.height());
  Canvas(picture, family, problems).Paint(painter);
  painter.end();
  return image;
}

}  // namespace artwork
