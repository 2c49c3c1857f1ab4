// The application icon and the maker's logo bitmap.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace artwork {

// Square icon of `side` pixels with a transparent surround.
QImage PaintAppIcon(int side);

// Logo bitmap: sign, product name and maker on white. Text that does not
// fit is reported in `problems`.
QImage PaintLogo(const QString& family, QStringList& problems);

}  // namespace artwork
