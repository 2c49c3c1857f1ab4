// The tables of a code page (byte -> UTF-16 and back), built from how its
// bytes decode one byte or one pair at a time. The answers come from the C
// library's converter; for the default code page the finished tables were
// built when the layer was, so that a program neither loads the converter,
// asks it some 28,000 questions nor fills 256 KB of tables each time it
// starts: they are constant data, read from the program's image as used.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace winsim {

struct CodePageTable {
  bool dbcs = false;
  std::array<char16_t, 256> single{};   // 0 = no character (unless byte 0)
  std::array<bool, 256> lead{};
  const char16_t* pairs = nullptr;      // [65536] lead * 256 + trail -> char, 0 = invalid; null when !dbcs
  const uint16_t* encode = nullptr;     // [65536] char -> bytes (high byte = lead), 0xFFFF = none
  // Where `pairs` and `encode` live when the table was built at run time.
  std::vector<char16_t> pairsStorage;
  std::vector<uint16_t> encodeStorage;
};

// Decodes one byte (n == 1) or one lead and trail byte (n == 2): the UTF-16
// unit, or 0 for none; *incomplete when the input is the first part of a
// longer sequence.
using ByteDecoder = std::function<char16_t(const unsigned char* bytes, size_t n, bool* incomplete)>;

// The tables from a decoder's answers.
std::unique_ptr<CodePageTable> BuildTable(unsigned cp, const ByteDecoder& decode);

// Runs `use` with the C library's decoder of the code page; false when the
// library has no converter for it.
bool WithLibraryDecoder(unsigned cp, const std::function<void(const ByteDecoder&)>& use);

// The tables built with the layer, for the code pages that have them (949);
// null for the others.
const CodePageTable* BuiltInTable(unsigned cp);

}  // namespace winsim
