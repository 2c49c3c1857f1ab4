// GetFileInformationByHandle and GetFileInformationByHandleEx(FileNameInfo).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

#include "host_file_info.h"
#include "known_fd_path.h"
#include "open_fd_path.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/file_attributes.h"
#include "winsim/file_object.h"
#include "winsim/machine.h"

namespace {

std::shared_ptr<winsim::FileObject> FileOf(HANDLE handle) {
  auto file = winsim::LookupHandleAs<winsim::FileObject>(handle, winsim::ObjectKind::File);
  if (!file) SetLastError(ERROR_INVALID_HANDLE);
  return file;
}

// The host folder behind C:, with links resolved as the kernel reports
// the paths of open files; worked out once per machine folder.
std::string CanonicalDriveC() {
  static std::mutex mutex;
  static std::string* given = new std::string;
  static std::string* canonical = new std::string;
  const std::string root = winsim::DriveCRoot();
  std::lock_guard<std::mutex> lock(mutex);
  if (root != *given) {
    char buf[PATH_MAX];
    *given = root;
    *canonical = realpath(root.c_str(), buf) ? std::string(buf) : root;
  }
  return *canonical;
}

// The path of an open file on its volume, as Windows names it: below the
// drive's root, with backslashes. A file deleted while open is named as
// NTFS names it then, in the volume's hidden folder of deleted files.
std::u16string VolumePathOf(winsim::FileObject& file) {
  const int fd = file.file.fd;
  std::string host;
  if (!winsim::files::CurrentHostPathOfFd(fd, file.knownPath, &host)) return {};
  if (winsim::files::EndsWithDeletedMark(host)) {
    struct stat st {};
    if (fstat(fd, &st) == 0 && st.st_nlink == 0) {
      char name[64];
      std::snprintf(name, sizeof name, "\\$Extend\\$Deleted\\%016llX", static_cast<unsigned long long>(st.st_ino));
      return winsim::Utf8ToUtf16(name);
    }
  }
  const std::string driveC = CanonicalDriveC();
  std::string rest = host;
  if (host.compare(0, driveC.size(), driveC) == 0 && (host.size() == driveC.size() || host[driveC.size()] == '/'))
    rest = host.substr(driveC.size());
  if (rest.empty()) return std::u16string(1, u'\\');
  std::u16string out = winsim::Utf8ToUtf16(rest);
  for (char16_t& c : out)
    if (c == u'/') c = u'\\';
  return out;
}

}  // namespace

extern "C" BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
  auto file = FileOf(hFile);
  if (!file) return FALSE;
  if (!lpFileInformation) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct stat st {};
  winsim::files::HostFileInfo info;
  if (fstat(file->file.fd, &st) != 0 || !winsim::files::QueryHostFd(file->file.fd, &info)) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return FALSE;
  }
  BY_HANDLE_FILE_INFORMATION out;
  std::memset(&out, 0, sizeof out);
  // The stored attributes travel with the file, whatever its name now.
  out.dwFileAttributes = winsim::AttributesOfHostWithMode(file->file.host, st.st_mode);
  if (out.dwFileAttributes == 0) out.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE;
  out.ftCreationTime = winsim::files::ToFileTime(info.created);
  out.ftLastAccessTime = winsim::files::ToFileTime(info.accessed);
  out.ftLastWriteTime = winsim::files::ToFileTime(info.modified);
  out.dwVolumeSerialNumber = static_cast<DWORD>(st.st_dev);
  const uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
  out.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  out.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
  out.nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
  out.nFileIndexHigh = static_cast<DWORD>(static_cast<uint64_t>(st.st_ino) >> 32);
  out.nFileIndexLow = static_cast<DWORD>(st.st_ino & 0xFFFFFFFF);
  *lpFileInformation = out;
  return TRUE;
}

extern "C" BOOL WINAPI GetFileInformationByHandleEx(HANDLE hFile, FILE_INFO_BY_HANDLE_CLASS FileInformationClass,
                                                    LPVOID lpFileInformation, DWORD dwBufferSize) {
  auto file = FileOf(hFile);
  if (!file) return FALSE;
  if (FileInformationClass != FileNameInfo || !lpFileInformation) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dwBufferSize < sizeof(FILE_NAME_INFO)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  const std::u16string name = VolumePathOf(*file);
  if (name.empty()) {
    SetLastError(winsim::ErrnoToWin32(errno));
    return FALSE;
  }
  auto* info = static_cast<FILE_NAME_INFO*>(lpFileInformation);
  const size_t bytes = name.size() * sizeof(WCHAR);
  const size_t room = dwBufferSize - offsetof(FILE_NAME_INFO, FileName);
  info->FileNameLength = static_cast<DWORD>(bytes);
  // What fits is copied; the length tells the caller how much to ask for.
  std::memcpy(info->FileName, name.data(), bytes < room ? bytes : room);
  if (bytes > room) {
    SetLastError(ERROR_MORE_DATA);
    return FALSE;
  }
  return TRUE;
}
