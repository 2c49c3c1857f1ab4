// The pictures are real images of their kind: PNG files that decode, scaled
// per density, sized for the page layouts and carrying visible content; an
// icon file with several sizes; an uncompressed bitmap.
#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cmath>
#include <cstdint>

#include "shipped_folder.h"

namespace payload_test {
namespace {

uint32_t Be32(const std::string& b, size_t at) {
  return (uint32_t{static_cast<unsigned char>(b[at])} << 24) | (uint32_t{static_cast<unsigned char>(b[at + 1])} << 16) |
         (uint32_t{static_cast<unsigned char>(b[at + 2])} << 8) | uint32_t{static_cast<unsigned char>(b[at + 3])};
}

uint32_t Le32(const std::string& b, size_t at) {
  return uint32_t{static_cast<unsigned char>(b[at])} | (uint32_t{static_cast<unsigned char>(b[at + 1])} << 8) |
         (uint32_t{static_cast<unsigned char>(b[at + 2])} << 16) | (uint32_t{static_cast<unsigned char>(b[at + 3])} << 24);
}

uint16_t Le16(const std::string& b, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

uint32_t Crc32(const std::string& data, size_t from, size_t length) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = from; i < from + length; ++i) crc = table[(crc ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

struct PngHeader {
  std::string fault;  // empty when the chunk structure is sound
  uint32_t width = 0, height = 0;
};

// Signature, IHDR first, every chunk's CRC, at least one IDAT, IEND last.
PngHeader InspectPng(const std::string& b) {
  PngHeader h;
  if (b.size() < 8 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {"no PNG signature"};
  size_t at = 8;
  bool sawData = false, sawEnd = false;
  for (int index = 0; at < b.size(); ++index) {
    if (sawEnd) return {"data after IEND"};
    if (at + 12 > b.size()) return {"truncated chunk header"};
    const uint32_t length = Be32(b, at);
    const std::string type = b.substr(at + 4, 4);
    if (at + 12 + length > b.size()) return {"chunk " + type + " runs past the end"};
    if (Crc32(b, at + 4, 4 + length) != Be32(b, at + 8 + length)) return {"bad CRC in chunk " + type};
    if (index == 0) {
      if (type != "IHDR" || length != 13) return {"first chunk is not IHDR"};
      h.width = Be32(b, at + 8);
      h.height = Be32(b, at + 12);
    }
    sawData |= type == "IDAT";
    sawEnd |= type == "IEND";
    at += 12 + length;
  }
  if (!sawData) return {"no IDAT chunk"};
  if (!sawEnd) return {"no IEND chunk"};
  return h;
}

std::vector<std::string> AllArtworkNames() {
  std::vector<std::string> names;
  for (const ArtworkBase& base : ArtworkBases())
    for (const Density& d : Densities())
      if (base.banner || std::string(d.suffix) != "_DPI_120") names.push_back(ArtworkName(base.name, d));
  return names;
}

TEST(Artwork, EveryPngIsWellFormedAndDecodes) {
  for (const std::string& name : AllArtworkNames()) {
    SCOPED_TRACE(name);
    const std::string bytes = ReadBytes(Shipped(name));
    const PngHeader header = InspectPng(bytes);
    EXPECT_EQ(header.fault, "");
    QImage image;
    if (!header.fault.empty()) continue;
    EXPECT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()), "PNG"));
    EXPECT_EQ(static_cast<uint32_t>(image.width()), header.width);
    EXPECT_EQ(static_cast<uint32_t>(image.height()), header.height);
  }
}

TEST(Artwork, DensityVariantsScaleTheBasePicture) {
  for (const ArtworkBase& base : ArtworkBases()) {
    const PngHeader one = InspectPng(ReadBytes(Shipped(ArtworkName(base.name, Densities()[0]))));
    EXPECT_EQ(one.fault, "") << base.name;
    if (!one.fault.empty()) continue;
    for (const Density& d : Densities()) {
      if (!base.banner && std::string(d.suffix) == "_DPI_120") continue;
      SCOPED_TRACE(ArtworkName(base.name, d));
      const PngHeader scaled = InspectPng(ReadBytes(Shipped(ArtworkName(base.name, d))));
      EXPECT_EQ(scaled.fault, "");
      if (!scaled.fault.empty()) continue;
      EXPECT_LE(std::fabs(scaled.width - one.width * d.scale), 1.0);
      EXPECT_LE(std::fabs(scaled.height - one.height * d.scale), 1.0);
    }
  }
}

// A page is 343x195 dialog units of a 9-point font: at 96 DPI a dialog unit
// is 1.5 pixels across and 1.625 down. The header is 36 units high; the
// progress page's status line starts at 128 units.
constexpr int kPageWidth = 515, kPageHeight = 317, kHeaderHeight = 58, kStatusLineTop = 208;
constexpr int kLowerImageTop = kHeaderHeight + 1 + 5;  // under the separator, as the page draws it

QSize Size96(const std::string& base) {
  const PngHeader h = InspectPng(ReadBytes(Shipped(base + "_kor.png")));
  return QSize(static_cast<int>(h.width), static_cast<int>(h.height));
}

TEST(Artwork, PicturesFitThePageLayouts) {
  const QSize sideBanner = Size96("vtxSet");
  EXPECT_GE(sideBanner.height(), kPageHeight * 9 / 10) << "the side banner is about as tall as the page";
  EXPECT_LE(1 + sideBanner.height(), kPageHeight);
  for (const char* page : {"Set1-1", "Un1-1", "Set5-1", "Un3-1", "Un4-1"}) {
    SCOPED_TRACE(page);
    const QSize s = Size96(page);
    EXPECT_LE(1 + sideBanner.width() + s.width(), kPageWidth);  // drawn right of the banner
    EXPECT_GE(s.width(), kPageWidth / 2);
    EXPECT_LE(1 + s.height(), kPageHeight);
  }

  struct HeaderPage {
    const char* banner;
    const char* top;
    const char* lower;  // nullptr for the licence page
  };
  for (const HeaderPage& page : {HeaderPage{"vtxSetUP", "Set2-1", nullptr}, HeaderPage{"vtxSetUP", "Set4-1", "Set4-2"},
                                 HeaderPage{"vtxUnUP", "Un2-1", "Un2-2"}}) {
    SCOPED_TRACE(page.top);
    const QSize banner = Size96(page.banner), top = Size96(page.top);
    const int bannerLeft = kPageWidth - banner.width() - 4;  // right-aligned, 4-pixel margin at 96 DPI
    EXPECT_LE(2 + banner.height(), kHeaderHeight);
    EXPECT_GE(banner.width(), 120) << "the banner strip is readable";
    EXPECT_LE(5 + top.width(), bannerLeft) << "the title block must not run under the banner";
    EXPECT_LE(5 + top.height(), kHeaderHeight);
    if (page.lower) {
      const QSize lower = Size96(page.lower);
      EXPECT_LE(5 + lower.width(), kPageWidth);
      EXPECT_LE(kLowerImageTop + lower.height(), kStatusLineTop);
    }
  }
}

// Text and marks on a background: each picture needs both clearly dark and
// clearly light pixels. A picture drawn without its font or without its
// background fails here.
TEST(Artwork, EveryPictureCarriesVisibleContent) {
  for (const std::string& name : AllArtworkNames()) {
    SCOPED_TRACE(name);
    QImage image;
    EXPECT_TRUE(image.load(QString::fromStdString(Shipped(name).string()), "PNG"));
    if (image.isNull()) continue;
    image = image.convertToFormat(QImage::Format_RGB32);
    size_t dark = 0, light = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
      for (int x = 0; x < image.width(); ++x) {
        const int luma = qGray(row[x]);
        dark += luma < 110;
        light += luma > 200;
      }
    }
    const double pixels = static_cast<double>(image.width()) * image.height();
    EXPECT_GT(dark / pixels, 0.005);
    EXPECT_GT(light / pixels, 0.005);
  }
}

TEST(WindowsImages, IconHoldsThreeSizesOfThirtyTwoBitImages) {
  const std::string b = ReadBytes(Shipped("인스톨.ico"));
  ASSERT_GE(b.size(), 6u);
  EXPECT_EQ(Le16(b, 0), 0);  // reserved
  EXPECT_EQ(Le16(b, 2), 1);  // icon, not cursor
  const uint16_t count = Le16(b, 4);
  ASSERT_EQ(count, 3);
  ASSERT_GE(b.size(), 6u + 16u * count);
  std::vector<int> sides;
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    const size_t e = 6 + 16 * static_cast<size_t>(i);
    const int side = static_cast<unsigned char>(b[e]);
    sides.push_back(side);
    EXPECT_EQ(static_cast<unsigned char>(b[e + 1]), side);
    EXPECT_EQ(Le16(b, e + 6), 32);
    const uint32_t size = Le32(b, e + 8), offset = Le32(b, e + 12);
    ASSERT_LE(uint64_t{offset} + size, b.size());
    // The image: BITMAPINFOHEADER, double height (colour plus mask), 32 bits.
    EXPECT_EQ(Le32(b, offset), 40u);
    EXPECT_EQ(Le32(b, offset + 4), static_cast<uint32_t>(side));
    EXPECT_EQ(Le32(b, offset + 8), static_cast<uint32_t>(2 * side));
    EXPECT_EQ(Le16(b, offset + 14), 32);
    const uint32_t maskStride = ((side + 31) / 32) * 4;
    EXPECT_EQ(size, 40u + side * side * 4u + maskStride * side);
  }
  EXPECT_EQ(sides, (std::vector<int>{16, 32, 48}));
}

TEST(WindowsImages, LogoIsAnUncompressedBitmap) {
  const std::string b = ReadBytes(Shipped("OrvGtcLogo.bmp"));
  ASSERT_GE(b.size(), 54u);
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(Le32(b, 2), b.size());  // file size field
  EXPECT_EQ(Le32(b, 10), 54u);      // pixels follow the two headers
  EXPECT_EQ(Le32(b, 14), 40u);
  const int32_t width = static_cast<int32_t>(Le32(b, 18)), height = static_cast<int32_t>(Le32(b, 22));
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);  // bottom-up rows
  EXPECT_EQ(Le16(b, 28), 24);
  EXPECT_EQ(Le32(b, 30), 0u);  // BI_RGB
  const uint32_t stride = ((static_cast<uint32_t>(width) * 3 + 3) / 4) * 4;
  EXPECT_EQ(b.size(), 54u + stride * static_cast<uint32_t>(height));
}

}  // namespace
}  // namespace payload_test
