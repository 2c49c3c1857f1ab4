// Encoders for the two Windows image formats shipped beside the setup
// program: an icon file with several sizes, and an uncompressed bitmap.
#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace artwork {

// Icon file (.ico): one 32-bit image with alpha and its AND mask per entry,
// in the order given. Each image must be square, 1 to 256 pixels.
QByteArray EncodeIco(const std::vector<QImage>& images);

// Bitmap file (.bmp): 24 bits per pixel, bottom-up rows, 96 DPI.
QByteArray EncodeBmp(const QImage& image);

}  // namespace artwork
