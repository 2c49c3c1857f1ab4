#include "wizard_look.h"

namespace winewizard {

const char* const kLookFonts[2] = {"/usr/share/fonts/truetype/nanum/NanumGothic.ttf",
                                   "/usr/share/fonts/truetype/nanum/NanumGothicCoding.ttf"};

std::string Utf16le(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned code = c;
    size_t length = 1;
    if (c >= 0xE0) {
      length = 3;
      code = c & 0x0F;
    } else if (c >= 0xC0) {
      length = 2;
      code = c & 0x1F;
    }
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k) code = (code << 6) | (utf8[i + k] & 0x3F);
    out.push_back(static_cast<char>(code & 0xFF));
    out.push_back(static_cast<char>(code >> 8));
    i += length;
  }
  return out;
}

std::string LookRegistryFile() {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"
      "\"굴림\"=\"NanumGothicCoding\"\r\n"
      "\"Gulim\"=\"NanumGothicCoding\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"
      "\"MS Shell Dlg\"=\"NanumGothic\"\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"
      "\"Decorated\"=\"N\"\r\n"
      "\r\n";
  return std::string("\xFF\xFE", 2) + Utf16le(text);
}

}  // namespace winewizard
