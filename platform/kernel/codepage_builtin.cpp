// The decoder answers taken at build time (codepage_answers_main.cpp).
#include <array>

#include "codepage_build.h"
#include "codepage_949_answers.inc"

namespace winsim {

ByteDecoder BuiltInDecoder(unsigned cp) {
  if (cp != kAnswersCodePage) return nullptr;
  static const std::array<int, 256> rowOf = [] {
    std::array<int, 256> rows;
    rows.fill(-1);
    int next = 0;
    for (unsigned b = 1; b < 256; ++b) {
      if (kSingleAnswers[b] < 0) rows[b] = next++;
    }
    return rows;
  }();
  return [](const unsigned char* bytes, size_t n, bool* incomplete) -> char16_t {
    *incomplete = false;
    if (n == 1) {
      int answer = kSingleAnswers[bytes[0]];
      *incomplete = answer < 0;
      return answer < 0 ? 0 : static_cast<char16_t>(answer);
    }
    int row = rowOf[bytes[0]];
    if (row < 0 || bytes[1] < 0x21) return 0;
    return kPairAnswers[row][bytes[1] - 0x21];
  };
}

}  // namespace winsim
