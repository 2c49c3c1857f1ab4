// Value data as the A and W functions give and return it. String values
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are stored as UTF-16LE; the A
// functions convert with the machine's code page.
#pragma once
#include <string>
#include <string_view>

#include "winreg.h"

namespace winsim::registry {

bool IsStringType(DWORD type);

// How many bytes of the caller's data RegSetValueExA/W take. Windows stores
// the bytes it is given, except that a string whose last character is not
// NUL but whose next one (just past cbData) is NUL gets that terminator
// counted as well: "abc" with cbData 3 is stored as "abc\0", the first
// three bytes of "abcdef" as "abc". Windows reads that next character; so
// does this.
DWORD AnsiDataSize(DWORD type, const BYTE* data, DWORD cbData);
DWORD WideDataSize(DWORD type, const BYTE* data, DWORD cbData);

// The stored bytes for data given to RegSetValueExA (its string data in
// the code page, converted to UTF-16; other types unchanged).
std::string StoredFromAnsi(DWORD type, std::string_view data, unsigned codepage);

// What RegQueryValueExA returns for stored bytes: strings converted back to
// the code page (an odd last byte is dropped), other types unchanged.
std::string AnsiFromStored(DWORD type, std::string_view stored, unsigned codepage);

// Copies value data into a caller's buffer of `capacity` bytes (when one is
// given): ERROR_MORE_DATA and the buffer untouched when it is too small.
// The A functions (`ansiString`) put a NUL after a string that lacks one
// when the buffer has room for it, without counting it, as Windows does.
LONG CopyData(std::string_view bytes, LPBYTE data, DWORD capacity, bool ansiString);

}  // namespace winsim::registry
