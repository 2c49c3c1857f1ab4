// Conversions between the machine's ANSI code page, UTF-16 and UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace winsim {

// The machine's ANSI code page (machine.conf "codepage", 949 by default).
unsigned ActiveCodePage();
bool CodePageSupported(unsigned codepage);

// Decodes bytes of a code page (949, 1252, 65001, ...). Invalid sequences
// become U+003F ('?') as Windows does for the ANSI code pages, or U+FFFD
// for UTF-8. *invalid (when given) tells whether any was met.
std::u16string ToUtf16(std::string_view bytes, unsigned codepage, bool* invalid = nullptr);
// Encodes to a code page; characters it lacks become '?'.
std::string FromUtf16(std::u16string_view text, unsigned codepage, bool* usedDefault = nullptr);
// The size of FromUtf16(text, codepage), without building it.
size_t AnsiSize(std::u16string_view text, unsigned codepage);

// Shorthands for the machine's code page.
inline std::u16string AnsiToUtf16(std::string_view bytes) { return ToUtf16(bytes, ActiveCodePage()); }
inline std::string Utf16ToAnsi(std::u16string_view text) { return FromUtf16(text, ActiveCodePage()); }

std::string Utf16ToUtf8(std::u16string_view text);
// Utf16ToUtf8(text) appended to `out`.
void AppendUtf8(std::string& out, std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
inline std::string AnsiToUtf8(std::string_view bytes) { return Utf16ToUtf8(AnsiToUtf16(bytes)); }
inline std::string Utf8ToAnsi(std::string_view text) { return Utf16ToAnsi(Utf8ToUtf16(text)); }

// Windows' simple case folding for file, key and value names.
char16_t UpcaseChar(char16_t c);
std::u16string Upcase(std::u16string_view text);
bool EqualsNoCase(std::u16string_view a, std::u16string_view b);

}  // namespace winsim
