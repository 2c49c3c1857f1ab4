// Draws one page picture at one screen density.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include "artwork_catalog.h"

namespace artwork {

// Draws `picture` at `pixelSize` (its 96-DPI layout scaled to fit) with the
// Korean font `family`. Text that does not fit its place is reported in
// `problems`, so a wording change can never be cut off unnoticed.
QImage PaintPicture(const Picture& picture, QSize pixelSize, const QString& family, QStringList& problems);

}  // namespace artwork
