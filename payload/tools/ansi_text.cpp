// Turns a UTF-8 text kept in the repository into the file a Korean Windows
// machine expects: encoded in the ANSI code page (CP949) with CRLF line ends.
//
//   payload_ansi_text <encoding> <input> <output>
//
// A character that has no place in the target encoding is an error, so a
// stray symbol in a source text stops the build instead of shipping "?".
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool ReadWhole(const char* path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Line ends become CRLF; a CR already in front of an LF is kept as is.
std::string WithCrlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

bool Encode(const std::string& utf8, const char* encoding, std::string& out) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::cerr << "ansi_text: encoding " << encoding << " is not available\n";
    return false;
  }
  std::string in = utf8;
  char* src = in.data();
  size_t srcLeft = in.size();
  out.assign(in.size() * 2 + 16, '\0');
  char* dst = out.data();
  size_t dstLeft = out.size();
  bool ok = true;
  while (srcLeft > 0) {
    if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
      const size_t at = in.size() - srcLeft;
      std::cerr << "ansi_text: byte offset " << at << ": "
                << (errno == EILSEQ ? "character not representable in " : "conversion failed to ")
                << encoding << "\n";
      ok = false;
      break;
    }
  }
  out.resize(out.size() - dstLeft);
  iconv_close(cd);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: payload_ansi_text <encoding> <input> <output>\n";
    return 2;
  }
  std::string text;
  if (!ReadWhole(argv[2], text)) {
    std::cerr << "ansi_text: cannot read " << argv[2] << "\n";
    return 1;
  }
  std::string encoded;
  if (!Encode(WithCrlf(text), argv[1], encoded)) return 1;

  std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
  out.write(encoded.data(), static_cast<std::streamsize>(encoded.size()));
  if (!out.flush()) {
    std::cerr << "ansi_text: cannot write " << argv[3] << "\n";
    std::remove(argv[3]);
    return 1;
  }
  return 0;
}
