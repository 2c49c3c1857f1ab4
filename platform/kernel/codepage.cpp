// Code page tables, built with the layer or once per code page
// (codepage_build.h), and then used for every conversion.
#include "winsim/codepage.h"

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "codepage_build.h"
#include "winsim/machine.h"

namespace winsim {
namespace {

constexpr char16_t kDefaultChar = u'?';

const CodePageTable* Table(unsigned cp) {
  if (const CodePageTable* builtIn = BuiltInTable(cp)) return builtIn;
  static std::mutex mutex;
  static auto* tables = new std::map<unsigned, std::unique_ptr<CodePageTable>>;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = tables->find(cp);
  if (it == tables->end()) {
    std::unique_ptr<CodePageTable> table;
    WithLibraryDecoder(cp, [&](const ByteDecoder& decode) { table = BuildTable(cp, decode); });
    it = tables->emplace(cp, std::move(table)).first;
  }
  return it->second.get();
}

void AppendUtf16(std::u16string& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

std::u16string DecodeUtf8(std::string_view in, bool* invalid) {
  std::u16string out;
  size_t i = 0;
  while (i < in.size()) {
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      out.push_back(c);
      ++i;
      continue;
    }
    // F5-FF never start a sequence (they would encode beyond U+10FFFF).
    int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
    char32_t cp = len == 4 ? (c & 0x07) : len == 3 ? (c & 0x0F) : (c & 0x1F);
    int got = 1;
    bool ok = len != 0;
    for (; ok && got < len; ++got) {
      if (i + got >= in.size()) { ok = false; break; }
      unsigned char cc = static_cast<unsigned char>(in[i + got]);
      // Second-byte ranges that rule out overlongs and surrogates.
      unsigned char lo = 0x80, hi = 0xBF;
      if (got == 1) {
        if (c == 0xE0) lo = 0xA0;
        if (c == 0xED) hi = 0x9F;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;
      }
      if (cc < lo || cc > hi) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      if (invalid) *invalid = true;
      i += got > 1 ? got : 1;  // one replacement per maximal invalid prefix
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

void EncodeUtf8Into(std::string& out, std::u16string_view in, bool* usedDefault) {
  out.reserve(out.size() + in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    // Runs of ASCII (most of a path) are copied as they are.
    size_t ascii = i;
    while (ascii < in.size() && in[ascii] < 0x80) ++ascii;
    if (ascii > i) {
      const size_t at = out.size();
      out.resize(at + (ascii - i));
      for (size_t k = i; k < ascii; ++k) out[at + (k - i)] = static_cast<char>(in[k]);
      i = ascii - 1;
      continue;
    }
    char32_t cp = in[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
      if (usedDefault) *usedDefault = true;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
}

std::string EncodeUtf8(std::u16string_view in, bool* usedDefault) {
  std::string out;
  EncodeUtf8Into(out, in, usedDefault);
  return out;
}

}  // namespace

unsigned ActiveCodePage() {
  unsigned cp = ConfigNumbers().codepage;
  return CodePageSupported(cp) ? cp : 949;
}

bool CodePageSupported(unsigned codepage) {
  if (codepage == 65001) return true;
  if (codepage == 0 || codepage > 65535) return false;
  return Table(codepage) != nullptr;
}

std::u16string ToUtf16(std::string_view bytes, unsigned codepage, bool* invalid) {
  if (invalid) *invalid = false;
  if (codepage == 65001) return DecodeUtf8(bytes, invalid);
  const CodePageTable* t = Table(codepage);
  // Never more units than bytes: written in place, cut to size at the end.
  std::u16string out(bytes.size(), u'\0');
  size_t n = 0;
  if (!t) {  // unknown code page: treat as Latin-1 so nothing is lost
    for (char c : bytes) out[n++] = static_cast<unsigned char>(c);
    return out;
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (t->lead[b]) {
      if (i + 1 >= bytes.size()) {  // a lead byte at the end stands alone
        out[n++] = kDefaultChar;
        if (invalid) *invalid = true;
        continue;
      }
      // A lead byte always takes the next byte with it, valid pair or not.
      char16_t c = t->pairs[b * 256 + static_cast<unsigned char>(bytes[i + 1])];
      ++i;
      if (!c) {
        c = kDefaultChar;
        if (invalid) *invalid = true;
      }
      out[n++] = c;
      continue;
    }
    char16_t c = t->single[b];
    if (!c && b) {
      c = kDefaultChar;
      if (invalid) *invalid = true;
    }
    out[n++] = c;
  }
  out.resize(n);
  return out;
}

std::string FromUtf16(std::u16string_view text, unsigned codepage, bool* usedDefault) {
  if (usedDefault) *usedDefault = false;
  if (codepage == 65001) return EncodeUtf8(text, usedDefault);
  const CodePageTable* t = Table(codepage);
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    uint16_t e = t ? t->encode[c] : (c < 256 ? c : 0xFFFF);
    if (e == 0xFFFF) {
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
      out.push_back('?');
      if (usedDefault) *usedDefault = true;
    } else if (e > 0xFF) {
      out.push_back(static_cast<char>(e >> 8));
      out.push_back(static_cast<char>(e & 0xFF));
    } else {
      out.push_back(static_cast<char>(e));
    }
  }
  return out;
}

size_t AnsiSize(std::u16string_view text, unsigned codepage) {
  const bool utf8 = codepage == 65001;
  const CodePageTable* t = utf8 ? nullptr : Table(codepage);
  size_t size = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    if (utf8) {
      // A pair is one 4-byte sequence; a lone surrogate becomes U+FFFD.
      if (pair) ++i;
      size += pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
      continue;
    }
    const uint16_t e = t ? t->encode[c] : (c < 256 ? c : 0xFFFF);
    if (e == 0xFFFF && pair) ++i;  // one '?' for the pair
    size += e != 0xFFFF && e > 0xFF ? 2 : 1;
  }
  return size;
}

std::string Utf16ToUtf8(std::u16string_view text) { return EncodeUtf8(text, nullptr); }
void AppendUtf8(std::string& out, std::u16string_view text) { EncodeUtf8Into(out, text, nullptr); }
std::u16string Utf8ToUtf16(std::string_view text) { return DecodeUtf8(text, nullptr); }

char16_t UpcaseChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddUpper) return (c & 1) ? c : static_cast<char16_t>(c - 1);
    return (c & 1) ? static_cast<char16_t>(c - 1) : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
  return c;
}

std::u16string Upcase(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = UpcaseChar(c);
  return out;
}

bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpcaseChar(a[i]) != UpcaseChar(b[i])) return false;
  }
  return true;
}

}  // namespace winsim
