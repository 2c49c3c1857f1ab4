// CreateFileA and the operations on the handle it returns.
#include <unistd.h>

#include <cerrno>

#include "host_file_info.h"
#include "path_argument.h"
#include "windows.h"
#include "winsim/file_object.h"

namespace {

constexpr DWORD kFileReadData = 0x0001;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kFileAppendData = 0x0004;

bool CanRead(DWORD access) { return access & (GENERIC_READ | GENERIC_ALL | kFileReadData); }
bool CanWrite(DWORD access) {
  return access & (GENERIC_WRITE | GENERIC_ALL | kFileWriteData | kFileAppendData);
}

std::shared_ptr<winsim::FileObject> FileOf(HANDLE handle) {
  auto file = winsim::LookupHandleAs<winsim::FileObject>(handle, winsim::ObjectKind::File);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

}  // namespace

int winsim::HostFdOfHandle(HANDLE handle) {
  auto file = LookupHandleAs<FileObject>(handle, ObjectKind::File);
  return file ? file->file.fd : -1;
}

extern "C" HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                                     LPSECURITY_ATTRIBUTES, DWORD dwCreationDisposition,
                                     DWORD dwFlagsAndAttributes, HANDLE) {
  winsim::ResolvedPath path;
  if (!winsim::files::ResolveArgument(lpFileName, winsim::kKeepTrailingSlash, &path)) return INVALID_HANDLE_VALUE;
  winsim::OpenRequest request;
  request.access = dwDesiredAccess;
  request.share = dwShareMode;
  request.disposition = dwCreationDisposition;
  request.attributes = dwFlagsAndAttributes & 0xFFFF;
  request.appendOnly = (dwDesiredAccess & kFileAppendData) &&
                       !(dwDesiredAccess & (GENERIC_WRITE | GENERIC_ALL | kFileWriteData));
  winsim::OpenedFile opened;
  if (DWORD error = winsim::OpenWindowsFile(path, request, &opened)) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  const bool existed = opened.existed;
  HANDLE handle = winsim::NewHandle(std::make_shared<winsim::FileObject>(std::move(opened), dwDesiredAccess));
  // Windows reports whether CREATE_ALWAYS or OPEN_ALWAYS found the file.
  const bool mayExist = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS;
  SetLastError(mayExist && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

extern "C" BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                                LPDWORD lpNumberOfBytesRead, LPVOID lpOverlapped) {
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  auto file = FileOf(hFile);
  if (!file) return FALSE;
  if (!lpNumberOfBytesRead && !lpOverlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!lpBuffer && nNumberOfBytesToRead) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  if (!CanRead(file->access)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(file->mutex);
  DWORD total = 0;
  auto* out = static_cast<char*>(lpBuffer);
  while (total < nNumberOfBytesToRead) {
    ssize_t n = read(file->file.fd, out + total, nNumberOfBytesToRead - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetLastError(winsim::ErrnoToWin32(errno));
      return FALSE;
    }
    if (n == 0) break;  // end of file: success with fewer bytes
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = total;
  return TRUE;
}

extern "C" BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                                 LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped) {
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  auto file = FileOf(hFile);
  if (!file) return FALSE;
  if (!lpNumberOfBytesWritten && !lpOverlapped) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!lpBuffer && nNumberOfBytesToWrite) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  if (!CanWrite(file->access)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(file->mutex);
  DWORD total = 0;
  const auto* in = static_cast<const char*>(lpBuffer);
  while (total < nNumberOfBytesToWrite) {
    ssize_t n = write(file->file.fd, in + total, nNumberOfBytesToWrite - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetLastError(n < 0 ? winsim::ErrnoToWin32(errno) : static_cast<DWORD>(ERROR_DISK_FULL));
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
      return FALSE;
    }
    total += static_cast<DWORD>(n);
  }
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = total;
  return TRUE;
}

extern "C" DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  auto file = FileOf(hFile);
  if (!file) return INVALID_FILE_SIZE;
  uint64_t size = 0;
  if (!winsim::files::HostFdSize(file->file.fd, &size)) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return INVALID_FILE_SIZE;
  }
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  DWORD low = static_cast<DWORD>(size & 0xFFFFFFFF);
  // A size whose low part looks like the failure value is told apart by
  // a last error of 0.
  if (low == INVALID_FILE_SIZE) SetLastError(ERROR_SUCCESS);
  return low;
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                                       DWORD dwMoveMethod) {
  auto file = FileOf(hFile);
  if (!file) return INVALID_SET_FILE_POINTER;
  int whence;
  switch (dwMoveMethod) {
    case FILE_BEGIN: whence = SEEK_SET; break;
    case FILE_CURRENT: whence = SEEK_CUR; break;
    case FILE_END: whence = SEEK_END; break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the distance is a signed 32-bit value.
  int64_t distance = lpDistanceToMoveHigh
                         ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                                static_cast<uint32_t>(lDistanceToMove))
                         : static_cast<int64_t>(lDistanceToMove);
  std::lock_guard<std::mutex> lock(file->mutex);
  // The base is read without moving, so that a refused move changes nothing.
  off_t base = 0;
  uint64_t size = 0;
  if (whence == SEEK_CUR) base = lseek(file->file.fd, 0, SEEK_CUR);
  if (whence == SEEK_END) base = winsim::files::HostFdSize(file->file.fd, &size) ? static_cast<off_t>(size) : -1;
  if (base < 0) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = static_cast<int64_t>(base) + distance;
  if (target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  if (!lpDistanceToMoveHigh && target > 0xFFFFFFFELL) {
    // The position would not fit the 32-bit result.
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->file.fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return INVALID_SET_FILE_POINTER;
  }
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  DWORD low = static_cast<DWORD>(target & 0xFFFFFFFF);
  if (low == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
  return low;
}

extern "C" BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
  auto file = FileOf(hFile);
  if (!file) return FALSE;
  if (!CanWrite(file->access)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (fsync(file->file.fd) != 0 && errno != EINVAL) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return FALSE;
  }
  return TRUE;
}
