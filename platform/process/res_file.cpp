#include "res_file.h"

#include <cstring>

namespace winsim::process {

namespace {

constexpr size_t kFixedTail = 16;  // data version, flags, language, version, characteristics

size_t AlignDword(size_t offset) { return (offset + 3) & ~size_t{3}; }

// Reads little-endian values out of a bounded buffer; every read checks the
// bounds first, so a malformed file never leads past its end.
class Reader {
 public:
  Reader(const BYTE* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool Word(size_t at, WORD* value) const {
    if (at > size_ || size_ - at < 2) return false;
    *value = static_cast<WORD>(bytes_[at] | bytes_[at + 1] << 8);
    return true;
  }
  bool Dword(size_t at, DWORD* value) const {
    WORD low = 0, high = 0;
    if (!Word(at, &low) || !Word(at + 2, &high)) return false;
    *value = low | static_cast<DWORD>(high) << 16;
    return true;
  }

  // An ordinal or a zero-terminated string starting at *at, which moves
  // past it. `end` bounds the field (the header's end).
  bool Id(size_t* at, size_t end, ResId* id) const {
    WORD first = 0;
    if (*at + 2 > end || !Word(*at, &first)) return false;
    if (first == 0xFFFF) {
      if (*at + 4 > end || !Word(*at + 2, &id->ordinal)) return false;
      id->named = false;
      *at += 4;
      return true;
    }
    id->named = true;
    id->name.clear();
    for (size_t p = *at;; p += 2) {
      WORD c = 0;
      if (p + 2 > end || !Word(p, &c)) return false;
      if (c == 0) {
        *at = p + 2;
        return true;
      }
      id->name.push_back(static_cast<char16_t>(c));
    }
  }

 private:
  const BYTE* bytes_;
  size_t size_;
};

}  // namespace

bool ParseResFile(const void* bytes, size_t size, std::vector<ResEntry>* out) {
  const BYTE* base = static_cast<const BYTE*>(bytes);
  Reader r(base, size);
  std::vector<ResEntry> entries;
  size_t at = 0;
  while (at < size) {
    DWORD dataSize = 0, headerSize = 0;
    if (!r.Dword(at, &dataSize) || !r.Dword(at + 4, &headerSize)) return false;
    // The header holds the two sizes, two ids of at least 4 bytes and the
    // fixed tail, and stays inside the file.
    if (headerSize < 8 + 4 + 4 + kFixedTail || headerSize > size - at) return false;
    const size_t headerEnd = at + headerSize;
    ResEntry e;
    size_t p = at + 8;
    if (!r.Id(&p, headerEnd, &e.type) || !r.Id(&p, headerEnd, &e.name)) return false;
    p = AlignDword(p);
    if (p + kFixedTail > headerEnd) return false;
    if (!r.Word(p + 4, &e.memoryFlags) || !r.Word(p + 6, &e.language)) return false;
    if (dataSize > size - headerEnd) return false;
    e.data = base + headerEnd;
    e.size = dataSize;
    const bool leadingEmpty =
        !e.type.named && e.type.ordinal == 0 && !e.name.named && e.name.ordinal == 0 && dataSize == 0;
    if (!leadingEmpty) entries.push_back(std::move(e));
    // The last entry's data may end the file without padding.
    const size_t next = AlignDword(headerEnd + dataSize);
    at = next < size ? next : size;
  }
  *out = std::move(entries);
  return true;
}

}  // namespace winsim::process
