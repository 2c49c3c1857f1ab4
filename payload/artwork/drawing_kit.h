// Drawing pieces shared by the page pictures, the icon and the logo. All
// coordinates are in 96-DPI pixels; callers scale the painter for density.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace artwork {

QFont MakeFont(const QString& family, int pixelSize, bool bold);

// Draws word-wrapped text in `box` and returns the height it took. Text
// taller or wider than the box is reported in `problems` (named by `what`).
qreal DrawTextBlock(QPainter& painter, const QRectF& box, const QFont& font, const QColor& color,
                    const QString& text, int alignment, const QString& what, QStringList& problems);

// The wireless sign: a dot with three arcs opening upwards; `base` is the
// centre of the dot, `radius` the outer arc.
void DrawWirelessSign(QPainter& painter, QPointF base, qreal radius, qreal penWidth, const QColor& color);

// A filled disc with a white tick (work done).
void DrawDoneSign(QPainter& painter, QPointF centre, qreal radius, const QColor& fill);

// A filled disc with a white turning-back arrow (work undone).
void DrawUndoSign(QPainter& painter, QPointF centre, qreal radius, const QColor& fill);

}  // namespace artwork
