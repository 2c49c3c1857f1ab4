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

}  // namespace

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
      return FromUtf16(text, ActiveCodePage());
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
