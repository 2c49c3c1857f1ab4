#include "icon_resource.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "gdi_objects.h"

namespace winsim::desktop {

namespace {

WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
DWORD Dword(const BYTE* p) { return Word(p) | static_cast<DWORD>(Word(p + 2)) << 16; }

constexpr size_t kGroupHeader = 6;  // reserved, type (1), count
constexpr size_t kGroupEntry = 14;  // width, height, colours, reserved, planes, bits, bytes, id
constexpr size_t kInfoHeader = 40;  // BITMAPINFOHEADER

size_t RowBytes(size_t width, size_t bits) { return (width * bits + 31) / 32 * 4; }

// The colour of pixel x in a bottom-up DIB row.
QRgb DibPixel(const BYTE* row, int x, int bits, const BYTE* palette, size_t paletteSize) {
  if (bits == 32) return qRgba(row[4 * x + 2], row[4 * x + 1], row[4 * x], row[4 * x + 3]);
  if (bits == 24) return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
  size_t index = 0;
  if (bits == 8)
    index = row[x];
  else if (bits == 4)
    index = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
  else
    index = (row[x / 8] >> (7 - x % 8)) & 1;
  if (index >= paletteSize) return qRgb(0, 0, 0);
  const BYTE* q = palette + 4 * index;
  return qRgb(q[2], q[1], q[0]);
}

QImage DecodeDib(const BYTE* data, size_t size) {
  if (size < kInfoHeader || Dword(data) < kInfoHeader || Dword(data) > size) return QImage();
  const size_t headerSize = Dword(data);
  const int32_t width = static_cast<int32_t>(Dword(data + 4));
  const int32_t doubleHeight = static_cast<int32_t>(Dword(data + 8));
  const int bits = Word(data + 14);
  const DWORD compression = Dword(data + 16);
  const DWORD colorsUsed = Dword(data + 32);
  if (width < 1 || width > 256 || doubleHeight < 2 || doubleHeight > 512 || doubleHeight % 2 || compression != 0)
    return QImage();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return QImage();
  const int height = doubleHeight / 2;
  const size_t paletteSize = bits <= 8 ? (colorsUsed ? colorsUsed : size_t{1} << bits) : 0;
  if (paletteSize > 256) return QImage();
  const size_t colorStride = RowBytes(static_cast<size_t>(width), static_cast<size_t>(bits));
  const size_t maskStride = RowBytes(static_cast<size_t>(width), 1);
  const size_t paletteAt = headerSize;
  const size_t colorAt = paletteAt + 4 * paletteSize;
  const size_t maskAt = colorAt + colorStride * static_cast<size_t>(height);
  if (maskAt + maskStride * static_cast<size_t>(height) > size) return QImage();

  // A 32-bit image whose alpha is all zero is an old-style one: the mask
  // alone tells what is transparent.
  bool alpha = false;
  if (bits == 32) {
    for (int y = 0; y < height && !alpha; ++y) {
      const BYTE* row = data + colorAt + colorStride * static_cast<size_t>(y);
      for (int x = 0; x < width && !alpha; ++x) alpha = row[4 * x + 3] != 0;
    }
  }
  QImage image(width, height, QImage::Format_ARGB32);
  for (int y = 0; y < height; ++y) {
    const size_t sourceRow = static_cast<size_t>(height - 1 - y);
    const BYTE* row = data + colorAt + colorStride * sourceRow;
    const BYTE* mask = data + maskAt + maskStride * sourceRow;
    QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < width; ++x) {
      QRgb c = DibPixel(row, x, bits, data + paletteAt, paletteSize);
      if (!alpha) {
        const bool transparent = (mask[x / 8] >> (7 - x % 8)) & 1;
        c = transparent ? qRgba(0, 0, 0, 0) : (c | 0xFF000000u);
      }
      out[x] = c;
    }
  }
  return image;
}

// Decoded icons by the group resource they come from (so that every name
// of one group gives one icon), kept for the life of the process.
struct IconCache {
  std::mutex mutex;
  std::map<std::pair<HRSRC, const BYTE*>, GdiObject*> icons;
};

IconCache& Cache() {
  static IconCache* cache = new IconCache;
  return *cache;
}

// The bytes of a resource, or false with *error set.
bool ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, const BYTE** data, DWORD* size, DWORD* error) {
  HRSRC found = FindResourceA(module, name, type);
  if (!found) {
    *error = GetLastError();
    return false;
  }
  *data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  *size = SizeofResource(module, found);
  if (!*data) {
    *error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return false;
  }
  return true;
}

}  // namespace

int BestIconInGroup(const BYTE* group, size_t size, int side) {
  if (!group || size < kGroupHeader || Word(group + 2) != 1) return -1;
  const size_t count = Word(group + 4);
  if (count == 0 || size < kGroupHeader + count * kGroupEntry) return -1;
  int best = -1, bestWidth = 0, bestBits = 0;
  // Rank: 0 exact, 1 larger, 2 smaller; within a rank the nearest size, then
  // the deepest colour.
  auto rank = [side](int w) { return w == side ? 0 : w > side ? 1 : 2; };
  for (size_t i = 0; i < count; ++i) {
    const BYTE* e = group + kGroupHeader + i * kGroupEntry;
    const int width = e[0] ? e[0] : 256;
    const int bits = Word(e + 6);
    const int id = Word(e + 12);
    bool better = best < 0;
    if (!better && rank(width) != rank(bestWidth)) {
      better = rank(width) < rank(bestWidth);
    } else if (!better && width != bestWidth) {
      better = rank(width) == 1 ? width < bestWidth : width > bestWidth;
    } else if (!better) {
      better = bits > bestBits;
    }
    if (better) {
      best = id;
      bestWidth = width;
      bestBits = bits;
    }
  }
  return best;
}

QImage DecodeIconImage(const BYTE* data, size_t size) {
  static const BYTE kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (!data) return QImage();
  if (size >= sizeof kPng && std::equal(kPng, kPng + sizeof kPng, data)) {
    QImage png = QImage::fromData(data, static_cast<int>(size), "PNG");
    return png.isNull() ? png : png.convertToFormat(QImage::Format_ARGB32);
  }
  return DecodeDib(data, size);
}

GdiObject* ModuleIcon(HMODULE module, LPCSTR name, DWORD* error) {
  HRSRC groupResource = FindResourceA(module, name, RT_GROUP_ICON);
  if (!groupResource) {
    *error = GetLastError();
    return nullptr;
  }
  const BYTE* group = static_cast<const BYTE*>(LockResource(LoadResource(module, groupResource)));
  const DWORD groupSize = SizeofResource(module, groupResource);
  const std::pair<HRSRC, const BYTE*> key(groupResource, group);
  IconCache& cache = Cache();
  {
    std::lock_guard<std::mutex> lock(cache.mutex);
    auto it = cache.icons.find(key);
    if (it != cache.icons.end()) return it->second;
  }
  const int id = BestIconInGroup(group, groupSize, GetSystemMetrics(SM_CXICON));
  if (id < 0) {
    *error = ERROR_INVALID_DATA;
    return nullptr;
  }
  const BYTE* bits = nullptr;
  DWORD bitsSize = 0;
  if (!ResourceBytes(module, MAKEINTRESOURCEA(id), RT_ICON, &bits, &bitsSize, error)) return nullptr;
  GdiObject o;
  o.type = GdiObject::Icon;
  o.stock = true;  // shared: DestroyIcon leaves it
  o.image = DecodeIconImage(bits, bitsSize);
  if (o.image.isNull()) {
    *error = ERROR_INVALID_DATA;
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(cache.mutex);
  auto [it, inserted] = cache.icons.emplace(key, nullptr);
  if (inserted) it->second = NewGdiObject(std::move(o));
  return it->second;
}

}  // namespace winsim::desktop
