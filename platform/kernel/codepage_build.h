// The tables of a code page (byte -> UTF-16 and back), built from how its
// bytes decode one byte or one pair at a time. The answers come from the C
// library's converter, or, for the default code page, from a copy of them
// taken when the layer was built, so that a program does not have to load
// the converter and ask it some 28,000 questions each time it starts.
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
  std::vector<char16_t> pairs;          // lead * 256 + trail -> char, 0 = invalid
  std::vector<uint16_t> encode;         // char -> bytes (high byte = lead), 0xFFFF = none
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

// The answers taken at build time, for the code pages that have them
// (949); nothing for the others.
ByteDecoder BuiltInDecoder(unsigned cp);

}  // namespace winsim
