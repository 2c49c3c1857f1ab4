// fopen, fopen64, remove and rename as the program code calls them: its
// link routes them here (-Wl,--wrap=...), so they take Windows paths in
// the machine's code page and follow the Windows C runtime.
#include <cerrno>
#include <cstdio>

#include "crt_errno.h"
#include "crt_text_stream.h"
#include "path_argument.h"
#include "windows.h"
#include "winsim/file_open.h"

namespace {

struct ParsedMode {
  winsim::files::StreamMode stream;
  bool exclusive = false;  // "x": the file must not exist
  char kind = 0;           // 'r', 'w' or 'a'
};

// Parses an fopen mode as the Windows C runtime does: r, w or a, then any
// of '+', 'b', 't', 'x' and the runtime's hint letters; ",ccs=" ends it.
bool ParseMode(const char* mode, ParsedMode* out) {
  if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return false;
  out->kind = mode[0];
  bool plus = false;
  for (const char* p = mode + 1; *p && *p != ','; ++p) {
    switch (*p) {
      case '+': plus = true; break;
      case 'b': out->stream.text = false; break;
      case 't': out->stream.text = true; break;
      case 'x':
        if (out->kind != 'w') return false;
        out->exclusive = true;
        break;
      case 'c': case 'n': case 'N': case 'S': case 'R': case 'T': case 'D': case ' ':
        break;
      default:
        return false;
    }
  }
  out->stream.read = out->kind == 'r' || plus;
  out->stream.write = out->kind != 'r' || plus;
  out->stream.append = out->kind == 'a';
  return true;
}

winsim::OpenRequest RequestFor(const ParsedMode& mode) {
  winsim::OpenRequest request;
  request.access = (mode.stream.read ? GENERIC_READ : 0) | (mode.stream.write ? GENERIC_WRITE : 0);
  request.share = FILE_SHARE_READ | FILE_SHARE_WRITE;  // the runtime's default sharing
  request.disposition = mode.kind == 'r' ? OPEN_EXISTING
                        : mode.kind == 'a' ? OPEN_ALWAYS
                        : mode.exclusive   ? CREATE_NEW
                                           : CREATE_ALWAYS;
  request.appendOnly = mode.stream.append;
  request.keepHiddenRule = false;  // "w" truncates a hidden file
  return request;
}

FILE* FailWith(DWORD win32Error) {
  SetLastError(win32Error);
  errno = winsim::files::CrtErrnoFromWin32(win32Error);
  return nullptr;
}

FILE* OpenStream(const char* path, const char* mode) {
  ParsedMode parsed;
  if (!path || !*path || !ParseMode(mode, &parsed)) {
    errno = EINVAL;
    return nullptr;
  }
  winsim::ResolvedPath resolved;
  if (!winsim::files::ResolveArgument(path, winsim::kKeepTrailingSlash, &resolved)) return FailWith(GetLastError());
  winsim::OpenedFile opened;
  if (DWORD error = winsim::OpenWindowsFile(resolved, RequestFor(parsed), &opened)) return FailWith(error);
  return winsim::files::OpenCrtStream(std::move(opened), parsed.stream);
}

int FailCall() {
  errno = winsim::files::CrtErrnoFromWin32(GetLastError());
  return -1;
}

}  // namespace

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) { return OpenStream(path, mode); }

extern "C" FILE* __wrap_fopen64(const char* path, const char* mode) { return OpenStream(path, mode); }

extern "C" int __wrap_remove(const char* path) {
  if (!path) {
    errno = EINVAL;
    return -1;
  }
  return DeleteFileA(path) ? 0 : FailCall();
}

extern "C" int __wrap_rename(const char* oldName, const char* newName) {
  if (!oldName || !newName) {
    errno = EINVAL;
    return -1;
  }
  return MoveFileExA(oldName, newName, MOVEFILE_COPY_ALLOWED) ? 0 : FailCall();
}
