// GetFullPathNameA and GetLongPathNameA.
#include <cstring>

#include "path_argument.h"
#include "windows.h"
#include "winsim/codepage.h"

namespace {

bool IsSlash(char16_t c) { return c == u'\\' || c == u'/'; }

// Copies an ANSI result into a caller's buffer with the A functions'
// convention: the length without the terminator on success; the size
// needed (with the terminator) and the buffer untouched when it is too
// small.
DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size) {
  const DWORD needed = static_cast<DWORD>(text.size() + 1);
  if (!buffer || size < needed) return needed;
  std::memcpy(buffer, text.c_str(), needed);
  return needed - 1;
}

// The stored spelling of the last component of `prefix`, which exists.
std::u16string StoredName(const std::u16string& prefix) {
  winsim::ResolvedPath r = winsim::ResolvePath(prefix, winsim::kNoRedirection);
  if (r.error || !r.exists) return {};
  return winsim::Utf8ToUtf16(winsim::files::HostBaseName(r.host));
}

// Rewrites every component of `given` in its stored spelling, keeping the
// drive letter, the separators and "." and ".." as given.
std::u16string LongForm(const std::u16string& given) {
  std::u16string out;
  size_t i = 0;
  if (given.rfind(u"\\\\?\\", 0) == 0) i = 4;
  if (given.size() >= i + 2 && given[i + 1] == u':') i += 2;
  out = given.substr(0, i);
  while (i < given.size()) {
    if (IsSlash(given[i])) {
      out.push_back(given[i++]);
      continue;
    }
    size_t end = i;
    while (end < given.size() && !IsSlash(given[end])) ++end;
    std::u16string component = given.substr(i, end - i);
    if (component != u"." && component != u"..") {
      std::u16string stored = StoredName(given.substr(0, end));
      if (!stored.empty()) component = stored;
    }
    out += component;
    i = end;
  }
  return out;
}

}  // namespace

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  if (!lpFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!*lpFileName) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  winsim::ResolvedPath r =
      winsim::ResolvePathA(lpFileName, winsim::kAllowWildcards | winsim::kKeepTrailingSlash | winsim::kNoRedirection);
  if (r.error) {
    SetLastError(r.error);
    return 0;
  }
  const std::string full = winsim::Utf16ToAnsi(r.full);
  DWORD result = CopyOut(full, lpBuffer, nBufferLength);
  if (lpBuffer && result < nBufferLength && lpFilePart) {
    // The file part is found in UTF-16, where a backslash cannot be the
    // second byte of a double-byte character.
    size_t slash = r.full.find_last_of(u'\\');
    bool endsInSlash = slash + 1 == r.full.size();
    *lpFilePart = endsInSlash ? nullptr : lpBuffer + winsim::Utf16ToAnsi(r.full.substr(0, slash + 1)).size();
  }
  return result;
}

extern "C" DWORD WINAPI GetLongPathNameA(LPCSTR lpszShortPath, LPSTR lpszLongPath, DWORD cchBuffer) {
  if (!lpszShortPath) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  winsim::ResolvedPath r;
  if (!winsim::files::ResolveArgument(lpszShortPath, winsim::kKeepTrailingSlash | winsim::kNoRedirection, &r))
    return 0;
  if (!r.exists || winsim::files::FileWithTrailingSlash(r)) {
    SetLastError(r.exists ? static_cast<DWORD>(ERROR_PATH_NOT_FOUND) : winsim::files::MissingError(r));
    return 0;
  }
  const std::string longName = winsim::Utf16ToAnsi(LongForm(winsim::AnsiToUtf16(lpszShortPath)));
  return CopyOut(longName, lpszLongPath, cchBuffer);
}
