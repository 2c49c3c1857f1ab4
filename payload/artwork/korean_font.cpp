#include "korean_font.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>

namespace artwork {
namespace {

// Preferred families first; any other family that says it covers Korean
// comes after them.
const char* const kPreferred[] = {"NanumBarunGothic", "NanumGothic", "Noto Sans CJK KR", "Noto Sans KR",
                                  "UnDotum", "Baekmuk Gulim"};

// Where Debian's fonts-nanum puts its files, for a font configuration that
// does not list them.
const char* const kFontFolders[] = {"/usr/share/fonts/truetype/nanum", "/usr/share/fonts/opentype/nanum"};

void RegisterFolderFonts() {
  for (const char* folder : kFontFolders) {
    const QDir dir(QString::fromLatin1(folder));
    for (const QFileInfo& f : dir.entryInfoList({"*.ttf", "*.otf"}, QDir::Files))
      QFontDatabase::addApplicationFont(f.absoluteFilePath());
  }
}

// The family must be the one actually chosen (no silent substitution) and
// must hold a glyph for every character, in regular and bold.
bool Covers(const QString& family, const QStringList& texts) {
  for (bool bold : {false, true}) {
    QFont font(family);
    font.setPixelSize(16);
    font.setBold(bold);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) return false;
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid()) return false;
    for (const QString& text : texts)
      for (const QChar c : text)
        if (!c.isSpace() && !raw.supportsCharacter(c)) return false;
  }
  return true;
}

QStringList Candidates() {
  QStringList list;
  for (const char* name : kPreferred) list << QString::fromLatin1(name);
  for (const QString& family : QFontDatabase::families(QFontDatabase::Korean))
    if (!list.contains(family, Qt::CaseInsensitive)) list << family;
  return list;
}

}  // namespace

QString FindKoreanFamily(const QStringList& texts, QString& error) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    const QStringList available = QFontDatabase::families();
    for (const QString& family : Candidates())
      if (available.contains(family, Qt::CaseInsensitive) && Covers(family, texts)) return family;
    RegisterFolderFonts();  // second try with the font files themselves
  }
  error = QStringLiteral(
      "no installed font can draw the Korean page texts; install a Korean font "
      "(Debian package fonts-nanum) and build again");
  return {};
}

}  // namespace artwork
