// Icons from resources: the choice of an image in an icon group, the
// decoding of icon images of every depth (pixels compared), and LoadIcon
// over resources registered for made-up modules.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "gdi_objects.h"
#include "icon_resource.h"
#include "winsim/module_resources.h"

using winsim::desktop::BestIconInGroup;
using winsim::desktop::DecodeIconImage;

namespace {

const DWORD kSentinel = 0xdeadbeef;

void Put16(std::vector<BYTE>* v, WORD x) {
  v->push_back(static_cast<BYTE>(x));
  v->push_back(static_cast<BYTE>(x >> 8));
}
void Put32(std::vector<BYTE>* v, DWORD x) {
  Put16(v, static_cast<WORD>(x));
  Put16(v, static_cast<WORD>(x >> 16));
}

// An icon image as a resource holds it: BITMAPINFOHEADER with twice the
// height, palette, colour rows and AND mask rows, both bottom-up.
// `pixel` gives a palette index, or 0xAARRGGBB for 24 and 32 bits.
std::vector<BYTE> Dib(int w, int h, int bits, const std::vector<QRgb>& palette,
                      const std::function<DWORD(int, int)>& pixel, const std::function<bool(int, int)>& transparent,
                      DWORD colorsUsed) {
  std::vector<BYTE> v;
  Put32(&v, 40);
  Put32(&v, static_cast<DWORD>(w));
  Put32(&v, static_cast<DWORD>(2 * h));
  Put16(&v, 1);
  Put16(&v, static_cast<WORD>(bits));
  for (int i = 0; i < 4; ++i) Put32(&v, 0);  // compression, image size, resolution
  Put32(&v, colorsUsed);
  Put32(&v, 0);
  for (QRgb c : palette) {
    v.insert(v.end(), {static_cast<BYTE>(qBlue(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qRed(c)), 0});
  }
  const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<BYTE> row(stride, 0);
    for (int x = 0; x < w; ++x) {
      const DWORD p = pixel(x, y);
      if (bits == 32 || bits == 24) {
        const size_t at = static_cast<size_t>(x) * (bits / 8);
        row[at] = static_cast<BYTE>(p);
        row[at + 1] = static_cast<BYTE>(p >> 8);
        row[at + 2] = static_cast<BYTE>(p >> 16);
        if (bits == 32) row[at + 3] = static_cast<BYTE>(p >> 24);
      } else {
        const int perByte = 8 / bits;
        const int shift = (perByte - 1 - x % perByte) * bits;
        row[static_cast<size_t>(x / perByte)] |= static_cast<BYTE>(p << shift);
      }
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  const size_t maskStride = (static_cast<size_t>(w) + 31) / 32 * 4;
  for (int y = h - 1; y >= 0; --y) {
    std::vector<BYTE> row(maskStride, 0);
    for (int x = 0; x < w; ++x) {
      if (transparent(x, y)) row[static_cast<size_t>(x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
    }
    v.insert(v.end(), row.begin(), row.end());
  }
  return v;
}

bool NoMask(int, int) { return false; }

struct DecodeCase {
  const char* what;
  std::vector<BYTE> data;
  std::vector<std::vector<QRgb>> expected;  // rows top-down
};

std::vector<DecodeCase> DecodeCases() {
  const QRgb red = qRgb(255, 0, 0), green = qRgb(0, 255, 0), blue = qRgb(0, 0, 255), none = qRgba(0, 0, 0, 0);
  std::vector<DecodeCase> cases;
  const DWORD argb[2][2] = {{0xFFFF0000, 0x8000FF00}, {0x000000FF, 0xFF0A141E}};
  cases.push_back({"32 bits with alpha, mask ignored",
                   Dib(
                       2, 2, 32, {}, [&](int x, int y) { return argb[y][x]; }, [](int, int) { return true; }, 0),
                   {{qRgba(255, 0, 0, 255), qRgba(0, 255, 0, 128)}, {qRgba(0, 0, 255, 0), qRgba(10, 20, 30, 255)}}});
  cases.push_back({"32 bits without alpha: the mask decides",
                   Dib(
                       2, 1, 32, {}, [](int x, int) { return x ? 0x00FF0000u : 0x000000FFu; },
                       [](int x, int) { return x == 1; }, 0),
                   {{blue, none}}});
  cases.push_back({"24 bits, rows padded",
                   Dib(
                       3, 2, 24, {}, [](int x, int y) { return y        ? 0x0000FF00u
                                                               : x == 2 ? 0x00FF0000u
                                                                        : 0x000000FFu; },
                       [](int x, int y) { return x == 0 && y == 1; }, 0),
                   {{blue, blue, red}, {none, green, green}}});
  cases.push_back({"8 bits, three colours used",
                   Dib(
                       3, 1, 8, {red, green, blue}, [](int x, int) { return DWORD(2 - x); }, NoMask, 3),
                   {{blue, green, red}}});
  cases.push_back(
      {"4 bits, full palette",
       Dib(
           3, 1, 4, std::vector<QRgb>(16, red), [](int x, int) { return DWORD(x == 1 ? 0 : 15); }, NoMask, 0),
       {{red, red, red}}});
  std::vector<QRgb> sixteen(16, qRgb(1, 1, 1));
  sixteen[3] = green;
  sixteen[12] = blue;
  cases.push_back({"4 bits, high and low nibbles",
                   Dib(
                       3, 1, 4, sixteen, [](int x, int) { return DWORD(x == 1 ? 3 : 12); }, NoMask, 0),
                   {{blue, green, blue}}});
  cases.push_back(
      {"1 bit across a byte",
       Dib(
           9, 1, 1, {red, green}, [](int x, int) { return DWORD(x >= 7); }, [](int x, int) { return x == 8; }, 0),
       {{red, red, red, red, red, red, red, green, none}}});
  return cases;
}

TEST(IconImages, DecodedPixelByPixel) {
  for (const DecodeCase& c : DecodeCases()) {
    SCOPED_TRACE(c.what);
    const QImage image = DecodeIconImage(c.data.data(), c.data.size());
    ASSERT_FALSE(image.isNull());
    ASSERT_EQ(image.height(), static_cast<int>(c.expected.size()));
    ASSERT_EQ(image.width(), static_cast<int>(c.expected[0].size()));
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        EXPECT_EQ(image.pixel(x, y), c.expected[static_cast<size_t>(y)][static_cast<size_t>(x)]) << x << "," << y;
      }
    }
  }
}

TEST(IconImages, PngImages) {
  QImage source(3, 2, QImage::Format_ARGB32);
  source.fill(qRgba(10, 200, 30, 255));
  source.setPixel(1, 1, qRgba(0, 0, 0, 0));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(source.save(&buffer, "PNG"));
  const QImage image = DecodeIconImage(reinterpret_cast<const BYTE*>(png.constData()), static_cast<size_t>(png.size()));
  ASSERT_EQ(image.size(), source.size());
  EXPECT_EQ(image.pixel(0, 0), source.pixel(0, 0));
  EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);
}

TEST(IconImages, MalformedImagesGiveNoImage) {
  const std::vector<BYTE> good = DecodeCases()[2].data;
  for (size_t n = 0; n < good.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<BYTE> cut(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_TRUE(DecodeIconImage(cut.data(), cut.size()).isNull());
  }
  const struct {
    const char* what;
    size_t at;
    BYTE value;
  } patches[] = {{"compressed", 16, 1},
                 {"no width", 4, 0},
                 {"odd double height", 8, 5},
                 {"16 bits", 14, 16},
                 {"header size past the end", 1, 0x10}};
  for (const auto& p : patches) {
    SCOPED_TRACE(p.what);
    std::vector<BYTE> bad = good;
    bad[p.at] = p.value;
    EXPECT_TRUE(DecodeIconImage(bad.data(), bad.size()).isNull());
  }
  std::vector<BYTE> bigPalette = DecodeCases()[3].data;
  bigPalette[32] = 0x2C;  // 300 colours
  bigPalette[33] = 0x01;
  EXPECT_TRUE(DecodeIconImage(bigPalette.data(), bigPalette.size()).isNull());
  EXPECT_TRUE(DecodeIconImage(nullptr, 0).isNull());
}

// An icon group: one entry per {side, bits, id}.
std::vector<BYTE> Group(const std::vector<std::array<int, 3>>& entries, WORD type = 1) {
  std::vector<BYTE> v;
  Put16(&v, 0);
  Put16(&v, type);
  Put16(&v, static_cast<WORD>(entries.size()));
  for (const auto& e : entries) {
    v.push_back(static_cast<BYTE>(e[0] == 256 ? 0 : e[0]));
    v.push_back(static_cast<BYTE>(e[0] == 256 ? 0 : e[0]));
    v.push_back(0);
    v.push_back(0);
    Put16(&v, 1);
    Put16(&v, static_cast<WORD>(e[1]));
    Put32(&v, 1000);
    Put16(&v, static_cast<WORD>(e[2]));
  }
  return v;
}

TEST(IconGroups, BestImageForASize) {
  const std::vector<BYTE> group = Group({{16, 32, 1}, {32, 8, 2}, {32, 32, 3}, {48, 32, 4}, {256, 32, 5}, {32, 4, 6}});
  const struct {
    int side;
    int id;
  } rows[] = {{32, 3}, {16, 1}, {48, 4}, {24, 3}, {20, 3}, {40, 4}, {100, 5}, {256, 5}, {300, 5}, {8, 1}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.side);
    EXPECT_EQ(BestIconInGroup(group.data(), group.size(), row.side), row.id);
  }
  // Only smaller images: the largest of them.
  const std::vector<BYTE> small = Group({{16, 32, 7}, {24, 32, 8}});
  EXPECT_EQ(BestIconInGroup(small.data(), small.size(), 32), 8);

  const std::vector<BYTE> cursors = Group({{32, 32, 1}}, 2);
  const std::vector<BYTE> empty = Group({});
  EXPECT_EQ(BestIconInGroup(cursors.data(), cursors.size(), 32), -1);
  EXPECT_EQ(BestIconInGroup(empty.data(), empty.size(), 32), -1);
  for (size_t n = 0; n < group.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<BYTE> cut(group.begin(), group.begin() + static_cast<long>(n));
    EXPECT_EQ(BestIconInGroup(cut.data(), cut.size(), 32), -1);
  }
}

// --- LoadIcon over registered resources ---------------------------------------

class ResImage {
 public:
  ResImage() { Add({0xFF, 0xFF, 0, 0}, {0xFF, 0xFF, 0, 0}, {}); }
  static std::vector<BYTE> Ordinal(WORD id) { return {0xFF, 0xFF, static_cast<BYTE>(id), static_cast<BYTE>(id >> 8)}; }
  static std::vector<BYTE> Name(const std::u16string& s) {
    std::vector<BYTE> v;
    for (char16_t c : s) Put16(&v, c);
    Put16(&v, 0);
    return v;
  }
  void Add(const std::vector<BYTE>& type, const std::vector<BYTE>& name, const std::vector<BYTE>& data) {
    std::vector<BYTE> h(8);
    h.insert(h.end(), type.begin(), type.end());
    h.insert(h.end(), name.begin(), name.end());
    while (h.size() % 4) h.push_back(0);
    h.resize(h.size() + 16, 0);
    for (int i = 0; i < 4; ++i) {
      h[static_cast<size_t>(i)] = static_cast<BYTE>(data.size() >> (8 * i));
      h[static_cast<size_t>(4 + i)] = static_cast<BYTE>(h.size() >> (8 * i));
    }
    bytes.insert(bytes.end(), h.begin(), h.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    while (bytes.size() % 4) bytes.push_back(0);
  }
  std::vector<BYTE> bytes;
};

std::vector<BYTE> Solid(int side, DWORD argb) {
  return Dib(
      side, side, 32, {}, [argb](int, int) { return argb; }, NoMask, 0);
}

char g_iconModule, g_dataModule, g_bareModule;
HMODULE IconModule() { return reinterpret_cast<HMODULE>(&g_iconModule); }
HMODULE DataModule() { return reinterpret_cast<HMODULE>(&g_dataModule); }
HMODULE BareModule() { return reinterpret_cast<HMODULE>(&g_bareModule); }

class LoadIconFromResources : public ::testing::Test {
 protected:
  void SetUp() override {
    const WORD icon = 3, groupIcon = 14;
    icons.Add(ResImage::Ordinal(icon), ResImage::Ordinal(1), Solid(16, 0xFFFF0000));
    icons.Add(ResImage::Ordinal(icon), ResImage::Ordinal(2), Solid(32, 0xFF0000FF));
    icons.Add(ResImage::Ordinal(icon), ResImage::Ordinal(3), Solid(48, 0xFF00FF00));
    icons.Add(ResImage::Ordinal(groupIcon), ResImage::Ordinal(128), Group({{16, 32, 1}, {32, 32, 2}, {48, 32, 3}}));
    icons.Add(ResImage::Ordinal(groupIcon), ResImage::Name(u"APPICON"), Group({{16, 32, 1}}));
    icons.Add(ResImage::Ordinal(groupIcon), ResImage::Ordinal(129), Group({{32, 32, 77}}));
    ASSERT_TRUE(winsim::RegisterModuleResources(IconModule(), icons.bytes.data(), icons.bytes.size()));
    data.Add(ResImage::Ordinal(10), ResImage::Ordinal(128), {1, 2, 3, 4});
    ASSERT_TRUE(winsim::RegisterModuleResources(DataModule(), data.bytes.data(), data.bytes.size()));
  }
  void TearDown() override {
    winsim::UnregisterModuleResources(IconModule());
    winsim::UnregisterModuleResources(DataModule());
  }
  ResImage icons, data;
};

TEST_F(LoadIconFromResources, TheImageOfTheSystemIconSize) {
  const int side = GetSystemMetrics(SM_CXICON);
  ASSERT_TRUE(side == 16 || side == 32 || side == 48) << side;
  const QRgb expected = side == 16 ? qRgb(255, 0, 0) : side == 32 ? qRgb(0, 0, 255) : qRgb(0, 255, 0);
  SetLastError(kSentinel);
  HICON icon = LoadIconA(IconModule(), MAKEINTRESOURCEA(128));
  ASSERT_NE(icon, nullptr) << GetLastError();
  const winsim::desktop::GdiObject* object = winsim::desktop::LookupGdiObject(icon);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->type, winsim::desktop::GdiObject::Icon);
  EXPECT_EQ(object->image.width(), side);
  EXPECT_EQ(object->image.pixel(side / 2, side / 2), expected);
  // Shared: loading again gives the same icon, and destroying leaves it.
  EXPECT_EQ(LoadIconW(IconModule(), MAKEINTRESOURCEW(128)), icon);
  DestroyIcon(icon);
  EXPECT_NE(winsim::desktop::LookupGdiObject(icon), nullptr);
}

TEST_F(LoadIconFromResources, NamedGroups) {
  HICON byAnsi = LoadIconA(IconModule(), "appicon");
  ASSERT_NE(byAnsi, nullptr);
  EXPECT_EQ(LoadIconW(IconModule(), u"AppIcon"), byAnsi);
  EXPECT_EQ(winsim::desktop::LookupGdiObject(byAnsi)->image.width(), 16);
}

TEST_F(LoadIconFromResources, MissingIconsAsWindowsReportsThem) {
  const struct {
    const char* what;
    HMODULE module;
    LPCSTR name;
    DWORD error;
  } rows[] = {
      {"no such group", IconModule(), MAKEINTRESOURCEA(9), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"no such named group", IconModule(), "OTHER", ERROR_RESOURCE_NAME_NOT_FOUND},
      {"group naming a missing image", IconModule(), MAKEINTRESOURCEA(129), ERROR_RESOURCE_NAME_NOT_FOUND},
      {"module without icons", DataModule(), MAKEINTRESOURCEA(128), ERROR_RESOURCE_TYPE_NOT_FOUND},
      {"stock icon asked of a module", IconModule(), IDI_APPLICATION, ERROR_RESOURCE_NAME_NOT_FOUND},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    SetLastError(kSentinel);
    EXPECT_EQ(LoadIconA(row.module, row.name), nullptr);
    EXPECT_EQ(GetLastError(), row.error);
  }
}

TEST_F(LoadIconFromResources, ProgramsWithoutResourcesKeepTheDrawnIcons) {
  HICON drawn = LoadIconA(BareModule(), MAKEINTRESOURCEA(128));
  ASSERT_NE(drawn, nullptr);
  EXPECT_EQ(winsim::desktop::LookupGdiObject(drawn)->type, winsim::desktop::GdiObject::Icon);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), LoadIconA(IconModule(), MAKEINTRESOURCEA(128)));
}

}  // namespace
