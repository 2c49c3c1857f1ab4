#include "windows_image_files.h"

#include <cstdint>

namespace artwork {
namespace {

void Put16(QByteArray& out, uint16_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}

void Put32(QByteArray& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((v >> shift) & 0xFF));
}

constexpr uint32_t kPixelsPerMetre96Dpi = 3780;

// BITMAPINFOHEADER, uncompressed.
void PutInfoHeader(QByteArray& out, int width, int height, uint16_t bitCount, uint32_t imageSize) {
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);  // planes
  Put16(out, bitCount);
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, kPixelsPerMetre96Dpi);
  Put32(out, kPixelsPerMetre96Dpi);
  Put32(out, 0);  // colours used
  Put32(out, 0);  // important colours
}

// One icon entry: the header gives twice the height (colour image plus
// mask); rows run bottom-up; the mask rows are padded to 32 bits.
QByteArray IconEntry(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  const int maskStride = ((w + 31) / 32) * 4;
  QByteArray out;
  PutInfoHeader(out, w, 2 * h, 32, static_cast<uint32_t>(w * h * 4 + maskStride * h));
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      out.append(static_cast<char>(qBlue(row[x])));
      out.append(static_cast<char>(qGreen(row[x])));
      out.append(static_cast<char>(qRed(row[x])));
      out.append(static_cast<char>(qAlpha(row[x])));
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray mask(maskStride, '\0');
    for (int x = 0; x < w; ++x)
      if (qAlpha(row[x]) == 0) mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
    out.append(mask);
  }
  return out;
}

}  // namespace

QByteArray EncodeIco(const std::vector<QImage>& images) {
  QByteArray out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // type: icon
  Put16(out, static_cast<uint16_t>(images.size()));
  std::vector<QByteArray> entries;
  for (const QImage& image : images) entries.push_back(IconEntry(image));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const int side = images[i].width();
    out.append(static_cast<char>(side >= 256 ? 0 : side));  // 0 stands for 256
    out.append(static_cast<char>(side >= 256 ? 0 : side));
    out.append('\0');  // colour count: not a palette image
    out.append('\0');  // reserved
    Put16(out, 1);     // planes
    Put16(out, 32);    // bits per pixel
    Put32(out, static_cast<uint32_t>(entries[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(entries[i].size());
  }
  for (const QByteArray& entry : entries) out.append(entry);
  return out;
}

QByteArray EncodeBmp(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width(), h = image.height();
  const int stride = ((w * 3 + 3) / 4) * 4;
  const uint32_t pixelBytes = static_cast<uint32_t>(stride * h);
  QByteArray out;
  out.append("BM", 2);
  Put32(out, 14 + 40 + pixelBytes);
  Put32(out, 0);  // reserved
  Put32(out, 14 + 40);
  PutInfoHeader(out, w, h, 24, pixelBytes);
  for (int y = h - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray line(stride, '\0');
    for (int x = 0; x < w; ++x) {
      line[3 * x] = static_cast<char>(qBlue(row[x]));
      line[3 * x + 1] = static_cast<char>(qGreen(row[x]));
      line[3 * x + 2] = static_cast<char>(qRed(row[x]));
    }
    out.append(line);
  }
  return out;
}

}  // namespace artwork
