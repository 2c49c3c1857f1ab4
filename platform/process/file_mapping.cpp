// File mappings backed by the page file: named ones shared across the
// machine's processes (see named_mapping_store.h), unnamed ones private to
// the process, and views of both.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "named_mapping_store.h"
#include "process_errors.h"
#include "windows.h"
#include "winsim/handles.h"
#include "winsim/paths.h"

namespace {

constexpr uint64_t kAllocationGranularity = 65536;
constexpr DWORD kPageWriteCopy = 0x08;
// FILE_MAP_COPY shares its bit with SECTION_QUERY: only the exact value
// asks for a copy-on-write view.
constexpr DWORD kFileMapCopy = 0x0001;

struct FileMappingObject : winsim::KernelObject {
  FileMappingObject(int f, uint64_t s, bool w, std::string p = {})
      : fd(f), size(s), writable(w), namePath(std::move(p)) {}
  ~FileMappingObject() override {
    if (namePath.empty()) close(fd);
    else winsim::process::ReleaseNamedMapping(fd, namePath);
  }
  winsim::ObjectKind Kind() const override { return winsim::ObjectKind::FileMapping; }
  const int fd;  // holds the name's shared lock while the handle is open
  const uint64_t size;
  const bool writable;
  const std::string namePath;  // empty for an unnamed mapping
};

// Views by base address, for UnmapViewOfFile.
struct ViewTable {
  std::mutex mutex;
  std::map<uintptr_t, size_t> views;
};

ViewTable& Views() {
  static ViewTable* table = new ViewTable;
  return *table;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

}  // namespace

extern "C" HANDLE WINAPI CreateFileMappingA(HANDLE hFile, LPSECURITY_ATTRIBUTES, DWORD flProtect,
                                            DWORD dwMaximumSizeHigh, DWORD dwMaximumSizeLow, LPCSTR lpName) {
  if (hFile != INVALID_HANDLE_VALUE) {
    // Mappings of files are not used by the machine's programs.
    return Fail(winsim::LookupHandle(hFile) ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
  }
  const uint64_t size = (static_cast<uint64_t>(dwMaximumSizeHigh) << 32) | dwMaximumSizeLow;
  if (size == 0) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD protection = flProtect & 0xFF;
  if (protection != PAGE_READWRITE && protection != PAGE_READONLY && protection != kPageWriteCopy) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  const bool writable = protection != PAGE_READONLY;

  if (!lpName || !*lpName) {
    int fd = memfd_create("winsim-mapping", MFD_CLOEXEC);
    if (fd < 0) return Fail(winsim::ErrnoToWin32(errno));
    if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
      close(fd);
      return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    HANDLE h = winsim::NewHandle(std::make_shared<FileMappingObject>(fd, size, writable));
    SetLastError(ERROR_SUCCESS);
    return h;
  }
  winsim::process::HeldName held = winsim::process::CreateNamedMapping(lpName, size);
  if (held.error) return Fail(held.error);
  HANDLE h = winsim::NewHandle(std::make_shared<FileMappingObject>(held.fd, held.size, writable, held.path));
  SetLastError(held.created ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
  return h;
}

extern "C" HANDLE WINAPI OpenFileMappingA(DWORD dwDesiredAccess, BOOL, LPCSTR lpName) {
  if (!lpName) return Fail(ERROR_INVALID_PARAMETER);
  if (!*lpName) return Fail(ERROR_FILE_NOT_FOUND);
  winsim::process::HeldName held = winsim::process::OpenNamedMapping(lpName);
  if (held.error) return Fail(held.error);
  const bool writable = (dwDesiredAccess & FILE_MAP_WRITE) != 0 || dwDesiredAccess == kFileMapCopy;
  return winsim::NewHandle(std::make_shared<FileMappingObject>(held.fd, held.size, writable, held.path));
}

extern "C" LPVOID WINAPI MapViewOfFile(HANDLE hFileMappingObject, DWORD dwDesiredAccess, DWORD dwFileOffsetHigh,
                                       DWORD dwFileOffsetLow, SIZE_T dwNumberOfBytesToMap) {
  auto mapping = winsim::LookupHandleAs<FileMappingObject>(hFileMappingObject, winsim::ObjectKind::FileMapping);
  if (!mapping) return Fail(ERROR_INVALID_HANDLE);
  const uint64_t offset = (static_cast<uint64_t>(dwFileOffsetHigh) << 32) | dwFileOffsetLow;
  if (offset % kAllocationGranularity != 0) return Fail(ERROR_MAPPED_ALIGNMENT);
  const bool copy = dwDesiredAccess == kFileMapCopy;
  const bool write = (dwDesiredAccess & FILE_MAP_WRITE) != 0;
  if (write && !mapping->writable) return Fail(ERROR_ACCESS_DENIED);
  if (offset >= mapping->size) return Fail(ERROR_ACCESS_DENIED);
  uint64_t length = dwNumberOfBytesToMap ? dwNumberOfBytesToMap : mapping->size - offset;
  if (length > mapping->size - offset) return Fail(ERROR_ACCESS_DENIED);
  // The view maps a descriptor of its own: a view keeps the memory but not
  // the name, which goes with the last handle as on Windows.
  int viewFd = open(("/proc/self/fd/" + std::to_string(mapping->fd)).c_str(), O_RDWR | O_CLOEXEC);
  if (viewFd < 0) return Fail(winsim::ErrnoToWin32(errno));
  int prot = PROT_READ | ((write || copy) ? PROT_WRITE : 0);
  void* base = mmap(nullptr, length, prot, copy ? MAP_PRIVATE : MAP_SHARED, viewFd, static_cast<off_t>(offset));
  close(viewFd);
  if (base == MAP_FAILED) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  ViewTable& t = Views();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.views[reinterpret_cast<uintptr_t>(base)] = length;
  return base;
}

extern "C" BOOL WINAPI UnmapViewOfFile(LPCVOID lpBaseAddress) {
  size_t length = 0;
  {
    ViewTable& t = Views();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.views.find(reinterpret_cast<uintptr_t>(lpBaseAddress));
    if (it == t.views.end()) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    length = it->second;
    t.views.erase(it);
  }
  munmap(const_cast<void*>(lpBaseAddress), length);
  return TRUE;
}
