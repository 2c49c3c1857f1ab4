// Screenshots as files: an RGB picture encoded as a PNG (stored, not
// compressed: no zlib in the Windows build, and a wizard page is well under
// a megabyte) or as a 24-bit BMP, chosen by the file name's ending.
// Portable code: tested on Linux by decoding the files again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace driver {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes a pixel, no padding
};

enum class ImageFormat { Unknown, Png, Bmp };

// By the ending, in any case: .png or .bmp.
ImageFormat FormatForPath(const std::string& path);

// The file's bytes; empty for an empty or inconsistent picture.
std::string EncodePng(const Image& image);
std::string EncodeBmp(const Image& image);

// True when every pixel has the same colour (a capture that drew nothing).
bool IsUniform(const Image& image);

}  // namespace driver
