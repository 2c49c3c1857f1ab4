#include "drawing_kit.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPen>

namespace artwork {

QFont MakeFont(const QString& family, int pixelSize, bool bold) {
  QFont font(family);
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  // Unhinted outlines keep the layout the same at every density.
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

qreal DrawTextBlock(QPainter& painter, const QRectF& box, const QFont& font, const QColor& color,
                    const QString& text, int alignment, const QString& what, QStringList& problems) {
  const int flags = alignment | Qt::TextWordWrap;
  const QRectF needed = QFontMetricsF(font).boundingRect(box, flags, text);
  if (needed.height() > box.height() + 0.5 || needed.width() > box.width() + 0.5)
    problems << QStringLiteral("%1: \"%2\" needs %3x%4 px, has %5x%6")
                    .arg(what, text)
                    .arg(needed.width(), 0, 'f', 1)
                    .arg(needed.height(), 0, 'f', 1)
                    .arg(box.width(), 0, 'f', 1)
                    .arg(box.height(), 0, 'f', 1);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(box, flags, text);
  return needed.height();
}

void DrawWirelessSign(QPainter& painter, QPointF base, qreal radius, qreal penWidth, const QColor& color) {
  painter.save();
  painter.setBrush(color);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(base, penWidth * 0.9, penWidth * 0.9);
  QPen pen(color, penWidth, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (int ring = 1; ring <= 3; ++ring) {
    const qreal r = radius * ring / 3.0;
    const QRectF circle(base.x() - r, base.y() - r, 2 * r, 2 * r);
    painter.drawArc(circle, 45 * 16, 90 * 16);  // a quarter circle opening upwards
  }
  painter.restore();
}

void DrawDoneSign(QPainter& painter, QPointF centre, qreal radius, const QColor& fill) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawEllipse(centre, radius, radius);
  QPen pen(Qt::white, radius * 0.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  QPainterPath tick;
  tick.moveTo(centre + QPointF(-radius * 0.45, radius * 0.02));
  tick.lineTo(centre + QPointF(-radius * 0.12, radius * 0.34));
  tick.lineTo(centre + QPointF(radius * 0.48, -radius * 0.30));
  painter.drawPath(tick);
  painter.restore();
}

void DrawUndoSign(QPainter& painter, QPointF centre, qreal radius, const QColor& fill) {
  painter.save();
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill);
  painter.drawEllipse(centre, radius, radius);
  const qreal r = radius * 0.5;
  const QRectF ring(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
  painter.setPen(QPen(Qt::white, radius * 0.16, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(ring, 100 * 16, 270 * 16);  // open at the top right
  // Arrow head at the arc's end (right), pointing on counter-clockwise:
  // the sign turns back.
  const QPointF tip = centre + QPointF(r * 0.98, -r * 0.17);
  QPainterPath head;
  head.moveTo(tip + QPointF(0, -radius * 0.30));
  head.lineTo(tip + QPointF(-radius * 0.26, radius * 0.08));
  head.lineTo(tip + QPointF(radius * 0.26, radius * 0.08));
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawPath(head);
  painter.restore();
}

}  // namespace artwork
