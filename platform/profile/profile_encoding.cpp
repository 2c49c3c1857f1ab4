#include "profile_encoding.h"

#include "winsim/codepage.h"

namespace winsim::profile {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

std::u16string DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::u16string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {  // an odd last byte is dropped
    auto first = static_cast<unsigned char>(bytes[i]);
    auto second = static_cast<unsigned char>(bytes[i + 1]);
    text.push_back(static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first)));
  }
  return text;
}

void AppendUtf16(std::string& out, std::u16string_view text, bool bigEndian) {
  for (char16_t c : text) {
    char high = static_cast<char>(c >> 8);
    char low = static_cast<char>(c & 0xFF);
    out.push_back(bigEndian ? high : low);
    out.push_back(bigEndian ? low : high);
  }
}

constexpr char16_t kRawByteBase = 0xDC00;  // U+DC00..U+DCFF: a byte kept as it was

bool IsRawByte(char16_t c) { return c >= kRawByteBase && c <= kRawByteBase + 0xFF; }

// Decodes one character at a time where the whole text does not encode
// back to the same bytes.
std::u16string DecodeAnsiLosslessly(std::string_view bytes, unsigned codepage) {
  std::u16string text = ToUtf16(bytes, codepage);
  if (FromUtf16(text, codepage) == bytes) return text;
  text.clear();
  for (size_t i = 0; i < bytes.size();) {
    bool taken = false;
    for (size_t length = 1; length <= 2 && i + length <= bytes.size() && !taken; ++length) {
      std::string_view piece = bytes.substr(i, length);
      bool invalid = false;
      std::u16string c = ToUtf16(piece, codepage, &invalid);
      if (!invalid && c.size() == 1 && FromUtf16(c, codepage) == piece) {
        text += c;
        i += length;
        taken = true;
      }
    }
    if (taken) continue;
    // A lead byte takes the next byte with it when the file is read, even
    // a line end, a blank or '=': both stay raw, so that the rewrite sees
    // the lines and keys the reader sees. A CR so taken before an LF
    // changes no line (the LF ends it) and stays the line's end.
    const bool pair = i + 2 <= bytes.size() && ToUtf16(bytes.substr(i, 2), codepage).size() == 1;
    const bool crBeforeLf = pair && bytes[i + 1] == '\r' && i + 2 < bytes.size() && bytes[i + 2] == '\n';
    const size_t length = pair && !crBeforeLf ? 2 : 1;
    for (size_t k = 0; k < length; ++k)
      text.push_back(static_cast<char16_t>(kRawByteBase + static_cast<unsigned char>(bytes[i++])));
  }
  return text;
}

std::string EncodeAnsiLosslessly(std::u16string_view text, unsigned codepage) {
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsRawByte(text[i])) continue;
    out += FromUtf16(text.substr(start, i - start), codepage);
    if (i < text.size()) out.push_back(static_cast<char>(text[i] - kRawByteBase));
    start = i + 1;
  }
  return out;
}

}  // namespace

std::u16string CallerText(const char16_t* text, ProfileEncoding encoding) {
  std::u16string copy(text);
  if (encoding == ProfileEncoding::Ansi) {
    for (auto& c : copy)
      if (IsRawByte(c)) c = u'?';
  }
  return copy;
}

bool StartsWithByteOrderMark(std::string_view bytes) {
  return bytes.starts_with(kUtf8Bom) || bytes.starts_with(kUtf16LEBom) || bytes.starts_with(kUtf16BEBom);
}

DecodedProfile DecodeProfileBytesForRewrite(std::string_view bytes) {
  DecodedProfile decoded = DecodeProfileBytes(bytes);
  if (decoded.encoding == ProfileEncoding::Ansi) decoded.text = DecodeAnsiLosslessly(bytes, ActiveCodePage());
  return decoded;
}

DecodedProfile DecodeProfileBytes(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Bom))
    return {ProfileEncoding::Utf8, ToUtf16(bytes.substr(kUtf8Bom.size()), 65001)};
  if (bytes.starts_with(kUtf16LEBom))
    return {ProfileEncoding::Utf16LE, DecodeUtf16(bytes.substr(kUtf16LEBom.size()), false)};
  if (bytes.starts_with(kUtf16BEBom))
    return {ProfileEncoding::Utf16BE, DecodeUtf16(bytes.substr(kUtf16BEBom.size()), true)};
  return {ProfileEncoding::Ansi, ToUtf16(bytes, ActiveCodePage())};
}

std::string EncodeProfileText(std::u16string_view text, ProfileEncoding encoding) {
  std::string out;
  switch (encoding) {
    case ProfileEncoding::Ansi:
      return EncodeAnsiLosslessly(text, ActiveCodePage());
    case ProfileEncoding::Utf8:
      out = kUtf8Bom;
      out += Utf16ToUtf8(text);
      return out;
    case ProfileEncoding::Utf16LE:
      out = kUtf16LEBom;
      AppendUtf16(out, text, false);
      return out;
    case ProfileEncoding::Utf16BE:
      out = kUtf16BEBom;
      AppendUtf16(out, text, true);
      return out;
  }
  return out;
}

}  // namespace winsim::profile
