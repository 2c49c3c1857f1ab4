// Draws every picture shipped beside the setup program, in one run:
// the page artwork at each screen density, the application icon
// "인스톨.ico" and the logo bitmap "OrvGtcLogo.bmp".
//
//   payload_artwork <output folder>
//
// Runs without a display (the offscreen platform). Exits non-zero, naming
// the cause, when no Korean font is installed, a text does not fit its
// picture, or a file cannot be written.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

#include "artwork_catalog.h"
#include "korean_font.h"
#include "picture_painter.h"
#include "product_marks.h"
#include "windows_image_files.h"

namespace {

const char kIconName[] = "인스톨.ico";
const char kLogoName[] = "OrvGtcLogo.bmp";
const int kIconSides[] = {16, 32, 48};

void Fail(const QString& text) { std::fprintf(stderr, "payload_artwork: %s\n", qPrintable(text)); }

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool WritePng(const QString& path, const QImage& image) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QImageWriter writer(&file, "png");
  return writer.write(image) && file.commit();
}

QStringList AllTexts() {
  QStringList texts;
  for (const artwork::Picture& p : artwork::Catalog())
    texts << p.heading << p.lines << p.steps << p.footer;
  return texts;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // A build runs without a login session; give Qt the private runtime
  // folder it would otherwise warn about.
  QTemporaryDir runtimeDir;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid())
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    Fail(QStringLiteral("usage: payload_artwork <output folder>"));
    return 2;
  }
  const QDir out(args[1]);
  if (!QDir().mkpath(out.path())) {
    Fail(QStringLiteral("cannot create %1").arg(out.path()));
    return 1;
  }

  QString error;
  const QString family = artwork::FindKoreanFamily(AllTexts(), error);
  if (family.isEmpty()) {
    Fail(error);
    return 1;
  }

  QStringList problems;
  int written = 0;
  for (const artwork::Picture& picture : artwork::Catalog()) {
    for (const artwork::Density& density : artwork::Densities()) {
      if (!artwork::HasDensity(picture, density)) continue;
      const QImage image = artwork::PaintPicture(picture, artwork::PixelSize(picture, density), family, problems);
      const QString path = out.filePath(artwork::FileName(picture, density));
      if (!WritePng(path, image)) problems << QStringLiteral("cannot write %1").arg(path);
      ++written;
    }
  }

  std::vector<QImage> icons;
  for (int side : kIconSides) icons.push_back(artwork::PaintAppIcon(side));
  const QString iconPath = out.filePath(QString::fromUtf8(kIconName));
  if (!WriteBytes(iconPath, artwork::EncodeIco(icons))) problems << QStringLiteral("cannot write %1").arg(iconPath);

  const QString logoPath = out.filePath(QString::fromUtf8(kLogoName));
  if (!WriteBytes(logoPath, artwork::EncodeBmp(artwork::PaintLogo(family, problems))))
    problems << QStringLiteral("cannot write %1").arg(logoPath);

  // A text that does not fit is reported once per density; one line each
  // is enough to find it.
  problems.removeDuplicates();
  for (const QString& p : problems) Fail(p);
  if (!problems.isEmpty()) return 1;
  std::printf("payload_artwork: %d pictures, icon and logo drawn with %s\n", written, qPrintable(family));
  return 0;
}
