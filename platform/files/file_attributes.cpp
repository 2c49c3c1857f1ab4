#include "winsim/file_attributes.h"

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "kept_folders.h"
#include "windows.h"
#include "winsim/paths.h"

namespace winsim {
namespace {

constexpr const char* kAttributeName = "user.winsim.attrib";
// A file always reports ARCHIVE and keeps read-only in its permissions.
constexpr DWORD kStoredForFiles = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kStoredForFolders = kStoredForFiles | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

bool IsNotStored(int err) { return err == ENODATA || err == ENOTSUP; }

}  // namespace

DWORD StoredAttributesOfHost(const std::string& hostPath) {
  char text[32] = {};
  ssize_t n = getxattr(hostPath.c_str(), kAttributeName, text, sizeof text - 1);
  if (n <= 0) return 0;
  text[n] = '\0';
  return static_cast<DWORD>(std::strtoul(text, nullptr, 16));
}

DWORD StoreAttributesOfHost(const std::string& hostPath, DWORD stored) {
  if (stored == 0) {
    if (RemoveXattrAt(HostPathAt(hostPath), kAttributeName) != 0 && !IsNotStored(errno)) return ErrnoToWin32(errno);
    return 0;
  }
  char text[32];
  int n = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(stored));
  if (setxattr(hostPath.c_str(), kAttributeName, text, static_cast<size_t>(n), 0) != 0) {
    // A host file system without user extended attributes cannot keep
    // hidden or system: say so rather than pretend.
    return errno == ENOTSUP ? static_cast<DWORD>(ERROR_NOT_SUPPORTED) : ErrnoToWin32(errno);
  }
  return 0;
}

DWORD GetAttributesOfHost(const std::string& hostPath) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
  return AttributesOfHostWithMode(hostPath, st.st_mode);
}

DWORD AttributesOfHostWithMode(const std::string& hostPath, mode_t mode) {
  DWORD stored = StoredAttributesOfHost(hostPath);
  if (S_ISDIR(mode)) return FILE_ATTRIBUTE_DIRECTORY | (stored & kStoredForFolders);
  DWORD attributes = FILE_ATTRIBUTE_ARCHIVE | (stored & kStoredForFiles);
  if (!(mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes;
}

DWORD SetAttributesOfHost(const std::string& hostPath, DWORD attributes) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return ErrnoToWin32(errno);
  return SetAttributesOfHostWithMode(hostPath, st.st_mode, attributes);
}

DWORD SetAttributesOfHostWithMode(const std::string& hostPath, mode_t hostMode, DWORD attributes) {
  if (S_ISDIR(hostMode)) return StoreAttributesOfHost(hostPath, attributes & kStoredForFolders);

  // The extended attribute first: it cannot be changed on some hosts, and
  // a failure must leave the permission bits untouched. Clearing it is one
  // removal whether or not one is stored.
  DWORD stored = attributes & kStoredForFiles;
  if (stored == 0) {
    if (DWORD error = StoreAttributesOfHost(hostPath, 0)) return error;
  } else if (stored != (StoredAttributesOfHost(hostPath) & kStoredForFiles)) {
    if (DWORD error = StoreAttributesOfHost(hostPath, stored)) return error;
  }
  mode_t mode = hostMode & 07777;
  mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~kWriteBits) : (mode | S_IWUSR);
  if (wanted != mode && chmod(hostPath.c_str(), wanted) != 0) return ErrnoToWin32(errno);
  return 0;
}

bool IsReadOnlyForLayer(const std::string& hostPath) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return false;
  return IsReadOnlyMode(st.st_mode);
}

bool IsReadOnlyMode(mode_t mode) { return !S_ISDIR(mode) && !(mode & S_IWUSR); }

}  // namespace winsim
