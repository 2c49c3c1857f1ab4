#include "image_file.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace driver {
namespace {

bool Consistent(const Image& image) {
  return image.width > 0 && image.height > 0 &&
         image.rgb.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3;
}

void PutBigEndian(std::string* out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<char>((v >> shift) & 0xFF));
}

void PutLittleEndian(std::string* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t Crc32(const std::string& data, size_t from) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = from; i < data.size(); ++i) c = table[(c ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::string* out, const char* type, const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t typeAt = out->size();
  out->append(type, 4);
  out->append(data);
  PutBigEndian(out, Crc32(*out, typeAt));
}

// A zlib stream of stored deflate blocks (at most 65535 bytes each).
std::string StoredZlib(const std::string& raw) {
  std::string z = "\x78\x01";
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    PutLittleEndian(&z, static_cast<uint32_t>(n), 2);
    PutLittleEndian(&z, static_cast<uint32_t>(~n & 0xFFFF), 2);
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  PutBigEndian(&z, (b << 16) | a);
  return z;
}

}  // namespace

ImageFormat FormatForPath(const std::string& path) {
  if (path.size() < 4) return ImageFormat::Unknown;
  std::string end = path.substr(path.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
  if (end == ".png") return ImageFormat::Png;
  if (end == ".bmp") return ImageFormat::Bmp;
  return ImageFormat::Unknown;
}

std::string EncodePng(const Image& image) {
  if (!Consistent(image)) return std::string();
  std::string out = "\x89PNG\r\n\x1A\n";
  std::string header;
  PutBigEndian(&header, static_cast<uint32_t>(image.width));
  PutBigEndian(&header, static_cast<uint32_t>(image.height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter method, no interlace
  PutChunk(&out, "IHDR", header);
  // Each row is preceded by its filter type, 0 (none).
  const size_t row = static_cast<size_t>(image.width) * 3;
  std::string raw;
  raw.reserve((row + 1) * static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(image.rgb.data()) + row * static_cast<size_t>(y), row);
  }
  PutChunk(&out, "IDAT", StoredZlib(raw));
  PutChunk(&out, "IEND", std::string());
  return out;
}

std::string EncodeBmp(const Image& image) {
  if (!Consistent(image)) return std::string();
  const uint32_t row = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t pixels = row * static_cast<uint32_t>(image.height);
  std::string out = "BM";
  PutLittleEndian(&out, 14 + 40 + pixels, 4);
  PutLittleEndian(&out, 0, 4);
  PutLittleEndian(&out, 14 + 40, 4);
  // BITMAPINFOHEADER: a positive height, so rows go bottom to top.
  PutLittleEndian(&out, 40, 4);
  PutLittleEndian(&out, static_cast<uint32_t>(image.width), 4);
  PutLittleEndian(&out, static_cast<uint32_t>(image.height), 4);
  PutLittleEndian(&out, 1, 2);
  PutLittleEndian(&out, 24, 2);
  PutLittleEndian(&out, 0, 4);  // BI_RGB
  PutLittleEndian(&out, pixels, 4);
  PutLittleEndian(&out, 3780, 4);  // 96 dpi in pixels a metre
  PutLittleEndian(&out, 3780, 4);
  PutLittleEndian(&out, 0, 4);
  PutLittleEndian(&out, 0, 4);
  for (int y = image.height - 1; y >= 0; --y) {
    const uint8_t* p = image.rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(image.width) * 3;
    for (int x = 0; x < image.width; ++x, p += 3) {
      out.push_back(static_cast<char>(p[2]));
      out.push_back(static_cast<char>(p[1]));
      out.push_back(static_cast<char>(p[0]));
    }
    out.append(row - static_cast<uint32_t>(image.width) * 3, '\0');
  }
  return out;
}

bool IsUniform(const Image& image) {
  if (image.rgb.size() < 3) return true;
  for (size_t i = 3; i + 2 < image.rgb.size(); i += 3) {
    if (image.rgb[i] != image.rgb[0] || image.rgb[i + 1] != image.rgb[1] || image.rgb[i + 2] != image.rgb[2])
      return false;
  }
  return true;
}

}  // namespace driver
