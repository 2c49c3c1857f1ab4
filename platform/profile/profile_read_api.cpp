// GetPrivateProfileStringA/W and GetPrivateProfileIntA.
#include <algorithm>
#include <new>

#include "profile_lookup.h"
#include "profile_wide_args.h"
#include "windows.h"

using winsim::profile::FormatWideReply;
using winsim::profile::LookUpProfileString;
using winsim::profile::ProfileAnswer;
using winsim::profile::WideArg;
using winsim::profile::WideReply;

namespace {

// The integer conversion of the kernel (decimal): blanks and control
// characters skipped, an optional sign, digits up to the first non-digit,
// arithmetic modulo 2^32.
UINT ParseProfileInteger(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] <= u' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  UINT total = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) total = total * 10 + (text[i] - u'0');
  return negative ? 0u - total : total;
}

}  // namespace

extern "C" {

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) return 0;
  try {
    ProfileAnswer answer;
    DWORD error = LookUpProfileString(lpAppName, lpKeyName, lpDefault, lpFileName, &answer);
    WideReply reply = FormatWideReply(answer, nSize);
    std::copy(reply.chars.begin(), reply.chars.end(), lpReturnedString);
    SetLastError(error);
    return reply.length;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

// A value works as the W function into a wide buffer of nSize characters,
// then that result is converted into at most nSize-1 bytes. When the bytes
// do not fit (a double-byte character at the end), the whole characters
// that fit are kept, the return value is still nSize-1 and the last error
// is ERROR_INSUFFICIENT_BUFFER; the terminator goes after the returned
// count. A list is cut on its code-page bytes (FormatAnsiList).
DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                                      DWORD nSize, LPCSTR lpFileName) {
  if (!lpReturnedString || nSize == 0) return 0;
  try {
    auto app = WideArg(lpAppName), key = WideArg(lpKeyName), dflt = WideArg(lpDefault), file = WideArg(lpFileName);
    ProfileAnswer answer;
    DWORD error = LookUpProfileString(app.get(), key.get(), dflt.get(), file.get(), &answer);
    SetLastError(error);
    if (answer.isList) {
      winsim::profile::AnsiReply list = winsim::profile::FormatAnsiList(answer.names, nSize);
      std::copy(list.bytes.begin(), list.bytes.end(), lpReturnedString);
      return list.length;
    }
    WideReply reply = FormatWideReply(answer, nSize);
    DWORD ret = 0;
    if (reply.length) {
      bool complete = false;
      ret = static_cast<DWORD>(winsim::profile::EncodeAnsiInto(std::u16string_view(reply.chars).substr(0, reply.length),
                                                                lpReturnedString, nSize - 1, &complete));
      if (!complete) {
        ret = nSize - 1;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
      }
    }
    lpReturnedString[ret] = '\0';
    return ret;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}

// The value is read into a buffer of 30 characters; no value, an empty one
// or a missing key gives the default.
UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName) {
  try {
    auto app = WideArg(lpAppName), key = WideArg(lpKeyName), file = WideArg(lpFileName);
    ProfileAnswer answer;
    DWORD error = LookUpProfileString(app.get(), key.get(), u"", file.get(), &answer);
    WideReply reply = FormatWideReply(answer, 30);
    SetLastError(error);
    std::u16string_view text(reply.chars.data(), reply.length);
    text = text.substr(0, text.find(u'\0'));
    if (text.empty()) return static_cast<UINT>(nDefault);
    return ParseProfileInteger(text);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return static_cast<UINT>(nDefault);
  }
}

}  // extern "C"
