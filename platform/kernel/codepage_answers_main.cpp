// codepage_answers CODEPAGE OUTPUT: writes, as C++ source, how the C
// library's converter decodes each byte and each lead and trail byte pair of
// the code page, for codepage_builtin.cpp (see codepage_build.h).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "codepage_build.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: codepage_answers CODEPAGE OUTPUT\n");
    return 2;
  }
  const unsigned cp = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  std::string text;
  bool known = winsim::WithLibraryDecoder(cp, [&](const winsim::ByteDecoder& decode) {
    std::vector<unsigned> leads;
    text = "// Generated at build time by codepage_answers from the C library's converter.\n"
           "constexpr unsigned kAnswersCodePage = " + std::to_string(cp) + ";\n"
           "// Per byte: the UTF-16 unit, 0 for none, -1 for the first byte of a pair.\n"
           "constexpr int kSingleAnswers[256] = {0,";
    for (unsigned b = 1; b < 256; ++b) {
      unsigned char byte = static_cast<unsigned char>(b);
      bool incomplete = false;
      char16_t c = decode(&byte, 1, &incomplete);
      if (incomplete) leads.push_back(b);
      text += (b % 16 ? " " : "\n    ") + (incomplete ? std::string("-1") : std::to_string(c)) + ",";
    }
    text += "\n};\n// Per first byte of a pair, in byte order: the unit of each trail byte 0x21 to 0xFF.\n"
            "constexpr unsigned kLeadCount = " + std::to_string(leads.size()) + ";\n"
            "constexpr char16_t kPairAnswers[kLeadCount ? kLeadCount : 1][223] = {\n";
    for (unsigned lead : leads) {
      text += "  {";
      for (unsigned trail = 0x21; trail < 256; ++trail) {
        unsigned char two[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
        bool incomplete = false;
        text += ((trail - 0x21) % 16 ? " " : "\n    ") + std::to_string(decode(two, 2, &incomplete)) + ",";
      }
      text += "},\n";
    }
    if (leads.empty()) text += "  {},\n";
    text += "};\n";
  });
  if (!known) {
    std::fprintf(stderr, "codepage_answers: the C library has no converter for code page %u\n", cp);
    return 1;
  }
  FILE* out = std::fopen(argv[2], "w");
  if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "codepage_answers: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
