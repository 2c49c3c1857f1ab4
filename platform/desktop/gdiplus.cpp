// GDI+: bitmaps decoded from files of the machine, drawn on windows while
// they are painted. A file that is missing gives InvalidParameter, one that
// cannot be decoded OutOfMemory, as GDI+ reports them; no object is made.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <atomic>

#include "desktop_internal.h"
#include "gdiplus.h"
#include "winsim/paths.h"

namespace Gdiplus {

class GpImage {
 public:
  QImage image;
};

class GpBitmap : public GpImage {};

class GpGraphics {
 public:
  HWND hwnd = nullptr;  // drawing goes to the window's paint in progress
  HDC hdc = nullptr;    // or to a device context's painter
};

}  // namespace Gdiplus

using namespace Gdiplus;
using winsim::desktop::ActivePainter;
using winsim::desktop::LookupDC;

namespace {

std::atomic<int> g_startups{0};
std::atomic<ULONG_PTR> g_nextToken{0x6D70};

// A PNG file (known by its signature) goes straight to the built-in PNG
// decoder: asking the reader to find the format loads every image format
// plug-in first. Anything else, or a PNG that decoder refuses, is found by
// the reader as before.
QImage DecodeImageFile(const QString& file) {
  static const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
  QFile f(file);
  if (f.open(QIODevice::ReadOnly) && f.peek(8) == QByteArray(kPngSignature, 8)) {
    QImageReader png(&f, "png");
    png.setAutoDetectImageFormat(false);
    png.setAutoTransform(false);
    QImage image = png.read();
    if (!image.isNull()) return image;
  }
  f.close();
  QImageReader reader(file);
  reader.setAutoTransform(false);
  return reader.read();
}

QPainter* PainterOf(const GpGraphics* graphics) {
  if (graphics->hdc) {
    winsim::desktop::DeviceContext* dc = LookupDC(graphics->hdc);
    return dc ? dc->painter : nullptr;
  }
  return ActivePainter(graphics->hwnd);
}

Status LoadBitmap(const WCHAR* filename, GpBitmap** bitmap) {
  if (!filename || !bitmap) return InvalidParameter;
  *bitmap = nullptr;
  if (g_startups.load() <= 0) return GdiplusNotInitialized;
  winsim::ResolvedPath path = winsim::ResolvePath(std::u16string_view(filename));
  if (path.error || !path.exists || path.isDirectory) return InvalidParameter;
  QImage image = DecodeImageFile(QString::fromStdString(path.host));
  if (image.isNull()) return OutOfMemory;
  auto* result = new GpBitmap;
  result->image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  *bitmap = result;
  return Ok;
}

}  // namespace

extern "C" {

Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (!token || !input) return InvalidParameter;
  if (input->GdiplusVersion < 1 || input->GdiplusVersion > 3) return UnsupportedGdiplusVersion;
  if (output) *output = GdiplusStartupOutput{nullptr, nullptr};
  *token = g_nextToken++;
  ++g_startups;
  return Ok;
}

void WINAPI GdiplusShutdown(ULONG_PTR token) {
  if (token && g_startups.load() > 0) --g_startups;
}

GpStatus WINAPI GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadBitmap(filename, bitmap);
}

GpStatus WINAPI GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap) {
  return LoadBitmap(filename, bitmap);
}

GpStatus WINAPI GdipGetImageWidth(GpImage* image, UINT* width) {
  if (!image || !width) return InvalidParameter;
  *width = static_cast<UINT>(image->image.width());
  return Ok;
}

GpStatus WINAPI GdipGetImageHeight(GpImage* image, UINT* height) {
  if (!image || !height) return InvalidParameter;
  *height = static_cast<UINT>(image->image.height());
  return Ok;
}

GpStatus WINAPI GdipDisposeImage(GpImage* image) {
  if (!image) return InvalidParameter;
  delete static_cast<GpBitmap*>(image);
  return Ok;
}

GpStatus WINAPI GdipCreateFromHWND(HWND hwnd, GpGraphics** graphics) {
  if (!graphics) return InvalidParameter;
  *graphics = nullptr;
  if (hwnd && !IsWindow(hwnd)) return OutOfMemory;
  auto* g = new GpGraphics;
  g->hwnd = hwnd;
  *graphics = g;
  return Ok;
}

GpStatus WINAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics) {
  if (!graphics) return InvalidParameter;
  *graphics = nullptr;
  if (!hdc || !LookupDC(hdc)) return OutOfMemory;
  auto* g = new GpGraphics;
  g->hdc = hdc;
  *graphics = g;
  return Ok;
}

GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics) {
  if (!graphics) return InvalidParameter;
  delete graphics;
  return Ok;
}

GpStatus WINAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height) {
  if (!graphics || !image) return InvalidParameter;
  if (QPainter* painter = PainterOf(graphics)) painter->drawImage(QRect(x, y, width, height), image->image);
  return Ok;
}

GpStatus WINAPI GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y) {
  if (!graphics || !image) return InvalidParameter;
  return GdipDrawImageRectI(graphics, image, x, y, image->image.width(), image->image.height());
}

}  // extern "C"
