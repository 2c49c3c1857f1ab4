// Finds a font family that can draw every Hangul syllable the pictures
// carry. Without one the pictures would show empty boxes, so the generator
// stops instead.
#pragma once

#include <QString>
#include <QStringList>

namespace artwork {

// Returns the family to use, or an empty string with `error` set.
// `texts` are all strings that will be drawn.
QString FindKoreanFamily(const QStringList& texts, QString& error);

}  // namespace artwork
