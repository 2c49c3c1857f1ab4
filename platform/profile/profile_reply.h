// How the answer of a lookup meets the caller's buffer: truncation of the
// wide result, and the ANSI conversion of the A functions.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "windef.h"

namespace winsim::profile {

// A value or default (one string), or a list of section or key names.
struct ProfileAnswer {
  bool isList = false;
  std::u16string text;
  std::vector<std::u16string> names;
};

// What GetPrivateProfileStringW stores in a buffer of nSize (> 0) characters
// and what it returns. A string is cut to nSize-1 characters. A list is
// names each followed by NUL plus a final NUL; when that does not fit with
// a character to spare, it is cut to nSize-2 characters followed by two
// NULs and nSize-2 is returned.
struct WideReply {
  std::u16string chars;  // never longer than nSize
  DWORD length = 0;
};
WideReply FormatWideReply(const ProfileAnswer& answer, DWORD nSize);

// What GetPrivateProfileStringA stores for a list: the names in the
// machine's code page, cut as the wide list is but on the bytes (a
// double-byte character may be split), so that a cut list still ends with
// two NULs and the caller's walk stops inside the buffer.
struct AnsiReply {
  std::string bytes;  // never longer than nSize
  DWORD length = 0;
};
AnsiReply FormatAnsiList(const std::vector<std::u16string>& names, DWORD nSize);

// Converts text to the machine's code page into at most `capacity` bytes,
// whole characters only, as WideCharToMultiByte leaves a buffer that is too
// small. Returns the bytes written; *complete tells whether all fitted.
size_t EncodeAnsiInto(std::u16string_view text, char* out, size_t capacity, bool* complete);

}  // namespace winsim::profile
