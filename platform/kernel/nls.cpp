// GetACP, MultiByteToWideChar and WideCharToMultiByte over the code page
// tables of codepage.cpp.
#include <cstring>
#include <vector>

#include "windows.h"
#include "winsim/codepage.h"

namespace {

// Maps CP_ACP and friends to a real code page; 0 when unsupported.
unsigned RealCodePage(UINT cp) {
  switch (cp) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_MACCP:
    case CP_THREAD_ACP:
      return winsim::ActiveCodePage();
    default:
      return winsim::CodePageSupported(cp) ? cp : 0;
  }
}

}  // namespace

extern "C" UINT WINAPI GetACP(void) { return winsim::ActiveCodePage(); }
extern "C" UINT WINAPI GetOEMCP(void) { return winsim::ActiveCodePage(); }
extern "C" BOOL WINAPI IsValidCodePage(UINT CodePage) { return CodePage != 0 && winsim::CodePageSupported(CodePage); }

extern "C" int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                                          LPWSTR lpWideCharStr, int cchWideChar) {
  unsigned cp = RealCodePage(CodePage);
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (cchWideChar > 0 && !lpWideCharStr) ||
      (lpWideCharStr && static_cast<const void*>(lpWideCharStr) == static_cast<const void*>(lpMultiByteStr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!cp) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cp == 65001 && (dwFlags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS))) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  size_t len = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  bool invalid = false;
  std::u16string wide = winsim::ToUtf16(std::string_view(lpMultiByteStr, len), cp, &invalid);
  if (invalid && (dwFlags & MB_ERR_INVALID_CHARS)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (cchWideChar == 0) return static_cast<int>(wide.size());
  if (wide.size() > static_cast<size_t>(cchWideChar)) {
    std::memcpy(lpWideCharStr, wide.data(), static_cast<size_t>(cchWideChar) * sizeof(WCHAR));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpWideCharStr, wide.data(), wide.size() * sizeof(WCHAR));
  return static_cast<int>(wide.size());
}

extern "C" int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                                          LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                                          LPBOOL lpUsedDefaultChar) {
  unsigned cp = RealCodePage(CodePage);
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && !lpMultiByteStr) ||
      (lpMultiByteStr && static_cast<const void*>(lpWideCharStr) == static_cast<const void*>(lpMultiByteStr)) || !cp) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cp == 65001 && (lpDefaultChar || lpUsedDefaultChar)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t len = 0;
  if (cchWideChar == -1) {
    while (lpWideCharStr[len]) ++len;
    ++len;
  } else {
    len = static_cast<size_t>(cchWideChar);
  }
  std::u16string_view in(lpWideCharStr, len);
  // Convert character by character so that a too-small buffer receives the
  // whole characters that fit, as Windows leaves them.
  std::string out;
  bool usedDefault = false;
  std::string def = lpDefaultChar ? std::string(lpDefaultChar, lpDefaultChar[0] && lpDefaultChar[1] && cp != 65001 ? 2 : 1)
                                  : std::string("?");
  std::vector<size_t> boundaries;  // byte offset after each character
  for (size_t i = 0; i < in.size(); ++i) {
    size_t units = (in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) ? 2 : 1;
    bool used = false;
    std::string piece = winsim::FromUtf16(in.substr(i, units), cp, &used);
    if (used && cp != 65001) {
      if (dwFlags & WC_ERR_INVALID_CHARS) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      piece = def;
      usedDefault = true;
    }
    out += piece;
    boundaries.push_back(out.size());
    i += units - 1;
  }
  if (lpUsedDefaultChar) *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
  if (cbMultiByte == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(cbMultiByte)) {
    size_t fit = 0;
    for (size_t b : boundaries) {
      if (b > static_cast<size_t>(cbMultiByte)) break;
      fit = b;
    }
    std::memcpy(lpMultiByteStr, out.data(), fit);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpMultiByteStr, out.data(), out.size());
  return static_cast<int>(out.size());
}
