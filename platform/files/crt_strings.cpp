// The Microsoft C runtime's bounded and case-insensitive string functions,
// as the release runtime behaves when its invalid-parameter handler
// returns: the error code (and errno) instead of ending the program, and
// an emptied destination where the runtime empties it.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "crt_msvc.h"

namespace {

constexpr int kNlsCompareError = 0x7FFFFFFF;  // _NLSCMPERROR

int LowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

errno_t Fail(char* dest, size_t size, errno_t error) {
  if (dest && size > 0) dest[0] = '\0';
  errno = error;
  return error;
}

// Formats into a string; false when the format cannot be used.
bool Format(std::string* out, const char* format, va_list args) {
  va_list probe;
  va_copy(probe, args);
  int n = std::vsnprintf(nullptr, 0, format, probe);
  va_end(probe);
  if (n < 0) return false;
  out->resize(static_cast<size_t>(n) + 1);
  std::vsnprintf(out->data(), out->size(), format, args);
  out->resize(static_cast<size_t>(n));
  return true;
}

// Copies `count` characters and a terminator.
void Put(char* dest, const std::string& text, size_t count) {
  std::memcpy(dest, text.data(), count);
  dest[count] = '\0';
}

}  // namespace

extern "C" int _stricmp(const char* a, const char* b) { return _strnicmp(a, b, static_cast<size_t>(-1)); }

extern "C" int _strnicmp(const char* a, const char* b, size_t count) {
  if (!a || !b) {
    errno = EINVAL;
    return kNlsCompareError;
  }
  for (size_t i = 0; i < count; ++i) {
    int x = LowerAscii(static_cast<unsigned char>(a[i]));
    int y = LowerAscii(static_cast<unsigned char>(b[i]));
    if (x != y || x == 0) return x - y;
  }
  return 0;
}

extern "C" errno_t strcpy_s(char* dest, size_t size, const char* src) {
  if (!dest || size == 0) return Fail(nullptr, 0, EINVAL);
  if (!src) return Fail(dest, size, EINVAL);
  size_t len = std::strlen(src);
  if (len >= size) return Fail(dest, size, ERANGE);
  std::memcpy(dest, src, len + 1);
  return 0;
}

extern "C" errno_t strncpy_s(char* dest, size_t size, const char* src, size_t count) {
  if (count == 0 && !dest && size == 0) return 0;
  if (!dest || size == 0) return Fail(nullptr, 0, EINVAL);
  if (count == 0) {
    dest[0] = '\0';
    return 0;
  }
  if (!src) return Fail(dest, size, EINVAL);
  size_t len = count == _TRUNCATE ? std::strlen(src) : strnlen(src, count);
  if (len < size) {
    std::memcpy(dest, src, len);
    dest[len] = '\0';
    return 0;
  }
  if (count == _TRUNCATE) {
    std::memcpy(dest, src, size - 1);
    dest[size - 1] = '\0';
    return STRUNCATE;
  }
  return Fail(dest, size, ERANGE);
}

extern "C" errno_t strcat_s(char* dest, size_t size, const char* src) {
  if (!dest || size == 0) return Fail(nullptr, 0, EINVAL);
  if (!src) return Fail(dest, size, EINVAL);
  size_t have = strnlen(dest, size);
  if (have == size) return Fail(dest, size, EINVAL);  // the destination is not terminated
  size_t add = std::strlen(src);
  if (have + add >= size) return Fail(dest, size, ERANGE);
  std::memcpy(dest + have, src, add + 1);
  return 0;
}

extern "C" int vsprintf_s(char* buffer, size_t size, const char* format, va_list args) {
  if (!format || !buffer || size == 0) {
    errno = EINVAL;
    return -1;
  }
  std::string text;
  if (!Format(&text, format, args)) {
    Fail(buffer, size, EINVAL);
    return -1;
  }
  if (text.size() >= size) {
    Fail(buffer, size, ERANGE);
    return -1;
  }
  Put(buffer, text, text.size());
  return static_cast<int>(text.size());
}

extern "C" int sprintf_s(char* buffer, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = vsprintf_s(buffer, size, format, args);
  va_end(args);
  return n;
}

extern "C" int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args) {
  if (count == 0 && !buffer && size == 0) return 0;
  if (!format || !buffer || size == 0) {
    errno = EINVAL;
    return -1;
  }
  std::string text;
  if (!Format(&text, format, args)) {
    Fail(buffer, size, EINVAL);
    return -1;
  }
  if (count != _TRUNCATE && count < size) {
    // Limited by count: the excess is cut off, and -1 tells so.
    if (text.size() <= count) {
      Put(buffer, text, text.size());
      return static_cast<int>(text.size());
    }
    Put(buffer, text, count);
    return -1;
  }
  if (text.size() < size) {
    Put(buffer, text, text.size());
    return static_cast<int>(text.size());
  }
  if (count == _TRUNCATE) {
    Put(buffer, text, size - 1);
    return -1;
  }
  Fail(buffer, size, ERANGE);
  return -1;
}

extern "C" int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int n = _vsnprintf_s(buffer, size, count, format, args);
  va_end(args);
  return n;
}
