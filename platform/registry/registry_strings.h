// Value data as the A and W functions give and return it. String values
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are stored as UTF-16LE; the A
// functions convert with the machine's code page.
#pragma once
#include <string>
#include <string_view>

#include "winreg.h"

namespace winsim::registry {

bool IsStringType(DWORD type);

// The stored bytes for data given to RegSetValueExW / RegSetValueExA. A
// REG_SZ or REG_EXPAND_SZ that does not end in a NUL character gets one
// (odd sizes keep their last byte: L"ab" with 5 bytes becomes 7), as
// Windows stores them; empty data stays empty.
std::string StoredFromWide(DWORD type, std::string_view data);
std::string StoredFromAnsi(DWORD type, std::string_view data, unsigned codepage);

// What RegQueryValueExA returns for stored bytes: strings converted back to
// the code page (an odd last byte is dropped), other types unchanged.
std::string AnsiFromStored(DWORD type, std::string_view stored, unsigned codepage);

// Hands out value data as Windows does: with a buffer too small,
// ERROR_MORE_DATA, the needed size in *cbData and the buffer untouched;
// with no buffer, only the size. Fails with ERROR_INVALID_PARAMETER when a
// buffer is given without a size.
LONG CopyData(std::string_view bytes, LPBYTE data, LPDWORD cbData);

}  // namespace winsim::registry
