// codepage_answers CODEPAGE OUTPUT: writes, as C++ source, the finished
// tables of the code page as the C library's converter decodes it (the
// tables BuildTable makes), for codepage_builtin.cpp (see codepage_build.h).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "codepage_build.h"

namespace {

// One constant array of `count` numbers, sixteen to a line.
template <typename T>
std::string ArrayText(const char* type, const char* name, const T* values, size_t count) {
  std::string text = std::string("alignas(64) constexpr ") + type + " " + name + "[" + std::to_string(count) + "] = {";
  for (size_t i = 0; i < count; ++i) {
    text += (i % 16 ? " " : "\n    ") + std::to_string(static_cast<unsigned long>(values[i])) + ",";
  }
  return text + "\n};\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: codepage_answers CODEPAGE OUTPUT\n");
    return 2;
  }
  const unsigned cp = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
  std::unique_ptr<winsim::CodePageTable> table;
  if (!winsim::WithLibraryDecoder(cp, [&](const winsim::ByteDecoder& decode) { table = winsim::BuildTable(cp, decode); })) {
    std::fprintf(stderr, "codepage_answers: the C library has no converter for code page %u\n", cp);
    return 1;
  }
  std::string text = "// Generated at build time by codepage_answers from the C library's converter.\n"
                     "constexpr unsigned kBuiltInCodePage = " + std::to_string(cp) + ";\n" +
                     "constexpr bool kBuiltInDbcs = " + (table->dbcs ? "true" : "false") + ";\n";
  unsigned char lead[256];
  for (unsigned b = 0; b < 256; ++b) lead[b] = table->lead[b] ? 1 : 0;
  text += ArrayText("char16_t", "kBuiltInSingle", table->single.data(), 256);
  text += ArrayText("unsigned char", "kBuiltInLead", lead, 256);
  static const char16_t kNoPairs[65536] = {};
  text += ArrayText("char16_t", "kBuiltInPairs", table->pairs ? table->pairs : kNoPairs, 65536);
  text += ArrayText("uint16_t", "kBuiltInEncode", table->encode, 65536);
  FILE* out = std::fopen(argv[2], "w");
  if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0) {
    std::fprintf(stderr, "codepage_answers: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
