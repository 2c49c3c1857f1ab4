#include "codepage_build.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace winsim {
namespace {

std::string IconvName(unsigned cp) {
  switch (cp) {
    case 949: return "CP949";
    case 932: return "CP932";
    case 936: return "GBK";
    case 950: return "BIG5";
    case 874: return "CP874";
    default: return "CP" + std::to_string(cp);
  }
}

// Decodes up to two bytes with iconv; returns the UTF-16 unit or 0.
// *incomplete is set when the input is the first part of a longer sequence.
char16_t DecodeWith(iconv_t cd, const unsigned char* bytes, size_t n, bool* incomplete) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2] = {static_cast<char>(bytes[0]), n > 1 ? static_cast<char>(bytes[1]) : '\0'};
  char out[8];
  char* inp = in;
  char* outp = out;
  size_t inLeft = n, outLeft = sizeof out;
  *incomplete = false;
  size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
  if (r == static_cast<size_t>(-1)) {
    if (errno == EINVAL) *incomplete = true;
    return 0;
  }
  if (inLeft != 0 || sizeof out - outLeft != 2) return 0;  // not exactly one BMP unit
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8));
}

}  // namespace

bool WithLibraryDecoder(unsigned cp, const std::function<void(const ByteDecoder&)>& use) {
  iconv_t cd = iconv_open("UTF-16LE", IconvName(cp).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  use([cd](const unsigned char* bytes, size_t n, bool* incomplete) { return DecodeWith(cd, bytes, n, incomplete); });
  iconv_close(cd);
  return true;
}

std::unique_ptr<CodePageTable> BuildTable(unsigned cp, const ByteDecoder& decode) {
  auto t = std::make_unique<CodePageTable>();
  t->encodeStorage.assign(65536, 0xFFFF);
  uint16_t* encode = t->encodeStorage.data();
  for (unsigned b = 0; b < 256; ++b) {
    unsigned char byte = static_cast<unsigned char>(b);
    bool incomplete = false;
    char16_t c = b == 0 ? 0 : decode(&byte, 1, &incomplete);
    if (incomplete) {
      t->lead[b] = true;
      t->dbcs = true;
    } else if (c || b == 0) {
      t->single[b] = c;
      if (encode[c] == 0xFFFF) encode[c] = static_cast<uint16_t>(b);
    }
  }
  if (cp == 949) {
    // The ANSI code page maps these two bytes to characters of their own.
    t->single[0x80] = 0x0080;
    encode[0x0080] = 0x80;
    t->single[0xFF] = 0xF8F7;
    encode[0xF8F7] = 0xFF;
    t->lead[0x80] = t->lead[0xFF] = false;
  }
  if (t->dbcs) {
    t->pairsStorage.assign(65536, 0);
    char16_t* pairs = t->pairsStorage.data();
    for (unsigned l = 0; l < 256; ++l) {
      if (!t->lead[l]) continue;
      for (unsigned tr = 0x21; tr < 256; ++tr) {
        unsigned char two[2] = {static_cast<unsigned char>(l), static_cast<unsigned char>(tr)};
        bool incomplete = false;
        char16_t c = decode(two, 2, &incomplete);
        if (!c) continue;
        pairs[l * 256 + tr] = c;
        if (encode[c] == 0xFFFF) encode[c] = static_cast<uint16_t>(l * 256 + tr);
      }
    }
    t->pairs = pairs;
  }
  t->encode = encode;
  return t;
}

}  // namespace winsim
