// Screenshot files: what the encoders write is read back by Qt's decoders
// pixel for pixel, for sizes whose rows need padding (BMP) and pictures
// larger than one stored deflate block (PNG).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include "image_file.h"

namespace driver {
namespace {

Image Pattern(int width, int height) {
  Image image;
  image.width = width;
  image.height = height;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.rgb.push_back(static_cast<uint8_t>(x * 7 + y));
      image.rgb.push_back(static_cast<uint8_t>(y * 3));
      image.rgb.push_back(static_cast<uint8_t>(x ^ y));
    }
  }
  return image;
}

void ExpectSamePixels(const Image& image, const QImage& decoded) {
  ASSERT_FALSE(decoded.isNull());
  ASSERT_EQ(image.width, decoded.width());
  ASSERT_EQ(image.height, decoded.height());
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
      ASSERT_EQ(qRgb(p[0], p[1], p[2]), decoded.pixel(x, y) | 0xFF000000u) << x << "," << y;
    }
  }
}

TEST(ImageFile, EncodersRoundTripThroughQt) {
  struct {
    int width, height;
  } sizes[] = {{1, 1}, {3, 2}, {5, 7}, {606, 356}};  // 606 x 356: over 64 KiB of rows
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
    const Image image = Pattern(size.width, size.height);
    const std::string png = EncodePng(image), bmp = EncodeBmp(image);
    ExpectSamePixels(image, QImage::fromData(QByteArray(png.data(), static_cast<qsizetype>(png.size())), "PNG"));
    ExpectSamePixels(image, QImage::fromData(QByteArray(bmp.data(), static_cast<qsizetype>(bmp.size())), "BMP"));
  }
}

TEST(ImageFile, InconsistentPicturesAreNotEncoded) {
  Image image = Pattern(4, 4);
  image.rgb.pop_back();
  EXPECT_EQ("", EncodePng(image));
  EXPECT_EQ("", EncodeBmp(image));
  EXPECT_EQ("", EncodePng(Image{}));
}

TEST(ImageFile, FormatByEnding) {
  EXPECT_EQ(ImageFormat::Png, FormatForPath("Z:\\a\\b.png"));
  EXPECT_EQ(ImageFormat::Png, FormatForPath("x.PNG"));
  EXPECT_EQ(ImageFormat::Bmp, FormatForPath("x.Bmp"));
  EXPECT_EQ(ImageFormat::Unknown, FormatForPath("x.jpg"));
  EXPECT_EQ(ImageFormat::Unknown, FormatForPath("png"));
}

TEST(ImageFile, UniformPictures) {
  Image image;
  image.width = 2;
  image.height = 2;
  image.rgb.assign(12, 0);
  EXPECT_TRUE(IsUniform(image));
  image.rgb[11] = 1;
  EXPECT_FALSE(IsUniform(image));
  EXPECT_TRUE(IsUniform(Image{}));
}

}  // namespace
}  // namespace driver
