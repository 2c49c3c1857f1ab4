// The tables built with the layer (codepage_answers_main.cpp).
#include <cstdint>

#include "codepage_build.h"
#include "codepage_949_answers.inc"

namespace winsim {

const CodePageTable* BuiltInTable(unsigned cp) {
  if (cp != kBuiltInCodePage) return nullptr;
  static const CodePageTable* const table = [] {
    auto* t = new CodePageTable;  // lives until the process ends
    t->dbcs = kBuiltInDbcs;
    for (unsigned b = 0; b < 256; ++b) {
      t->single[b] = kBuiltInSingle[b];
      t->lead[b] = kBuiltInLead[b] != 0;
    }
    t->pairs = kBuiltInDbcs ? kBuiltInPairs : nullptr;
    t->encode = kBuiltInEncode;
    return t;
  }();
  return table;
}

}  // namespace winsim
