// Windows file attributes of host files.
//
// Read-only is the host's write permission (S_IWUSR) for files; the layer
// enforces it itself, because the machine's programs often run as the
// host's root, whom permissions do not stop. Hidden and system (and, for
// folders, archive and read-only, which Windows does not enforce on a
// folder) are kept in the extended attribute "user.winsim.attrib", so they
// travel with a rename. A file always reports ARCHIVE, as measured:
// SetFileAttributesA(FILE_ATTRIBUTE_NORMAL) on a file reads back 0x20.
#pragma once
#include <sys/types.h>

#include <string>

#include "windef.h"

namespace winsim {

// The attributes Windows reports for the host file or folder, or
// INVALID_FILE_ATTRIBUTES (errno set) when nothing is there.
DWORD GetAttributesOfHost(const std::string& hostPath);

// The same for a host file whose mode the caller has just read.
DWORD AttributesOfHostWithMode(const std::string& hostPath, mode_t mode);
// Applies attributes as SetFileAttributesA does. Returns 0 or a Windows
// error code.
DWORD SetAttributesOfHost(const std::string& hostPath, DWORD attributes);
// The same for a host file whose mode the caller has just read.
DWORD SetAttributesOfHostWithMode(const std::string& hostPath, mode_t mode, DWORD attributes);

// True for an existing file that the layer must refuse to write, delete or
// overwrite because it is read-only.
bool IsReadOnlyForLayer(const std::string& hostPath);
// The same judged from a host mode.
bool IsReadOnlyMode(mode_t mode);

// The stored (extended attribute) part only. 0 when none is stored.
DWORD StoredAttributesOfHost(const std::string& hostPath);
// Writes the stored part; 0 removes it. Returns 0 or a Windows error code.
DWORD StoreAttributesOfHost(const std::string& hostPath, DWORD stored);

}  // namespace winsim
