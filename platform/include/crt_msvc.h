// The Microsoft C runtime's extensions that Windows code uses beside the
// standard library: bounded string functions, case-insensitive compares,
// and the 64-bit-time stat.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>

typedef int errno_t;
#ifndef _TRUNCATE
#define _TRUNCATE ((size_t)-1)
#endif
#ifndef STRUNCATE
#define STRUNCATE 80
#endif

// The C library of the host spells these as macros; the Windows structure
// below has real members of these names.
#undef st_atime
#undef st_mtime
#undef st_ctime

struct _stat64i32 {
  unsigned int st_dev;
  unsigned short st_ino;
  unsigned short st_mode;
  short st_nlink;
  short st_uid;
  short st_gid;
  unsigned int st_rdev;
  long st_size;
  int64_t st_atime;
  int64_t st_mtime;
  int64_t st_ctime;
};

#ifndef _S_IFMT
#define _S_IFMT 0xF000
#define _S_IFDIR 0x4000
#define _S_IFREG 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define _S_IEXEC 0x0040
#endif

extern "C" {
// Takes a Windows path; errno is set as the Windows C runtime sets it.
int _stat64i32(const char* path, struct _stat64i32* buffer);
// As in the Windows C runtime, _stat names the 64-bit-time form (the
// structure and the function alike).
#define _stat _stat64i32

// Writes out the buffers of every open stream; returns how many streams
// are open (the three standard ones included).
int _flushall(void);

int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t count);
errno_t strcpy_s(char* dest, size_t size, const char* src);
errno_t strncpy_s(char* dest, size_t size, const char* src, size_t count);
errno_t strcat_s(char* dest, size_t size, const char* src);
int sprintf_s(char* buffer, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
int _snprintf_s(char* buffer, size_t size, size_t count, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
int vsprintf_s(char* buffer, size_t size, const char* format, va_list args);
int _vsnprintf_s(char* buffer, size_t size, size_t count, const char* format, va_list args);
}
