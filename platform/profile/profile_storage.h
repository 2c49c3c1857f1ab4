// Where an initialization file lives on the host, and reading and rewriting
// it there.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "windef.h"
#include "winsim/file_sharing.h"
#include "winsim/paths.h"

namespace winsim::profile {

// Threads of a process see a profile file either before or after another
// thread's rewrite, never halfway: reads and changes take this lock.
std::mutex& ProfileFilesMutex();

// A name without any '\' or '/' (and no drive) names a file in the Windows
// folder; NULL names win.ini there; anything else is a path as usual.
ResolvedPath ResolveProfileName(const WCHAR* fileName);

// Reads the whole file. Returns 0, or the Windows error: ERROR_FILE_NOT_FOUND
// for a missing file, ERROR_PATH_NOT_FOUND for a missing folder,
// ERROR_ACCESS_DENIED for a folder, ERROR_SHARING_VIOLATION when another
// open does not share reading, or the error of the host call.
DWORD ReadProfileFile(const ResolvedPath& path, std::string* bytes);

// Opens an existing file for a change as Windows does (read and write
// access, sharing everything): ERROR_ACCESS_DENIED for a read-only file or
// under the standard-user rule, ERROR_SHARING_VIOLATION when another open
// does not share writing. The claim holds the open until it is dropped.
DWORD ClaimForChange(const ResolvedPath& path, std::unique_ptr<ShareRegistration>* claim);

// Replaces the file's content in place (creating it when missing), so the
// file keeps its identity and the attributes stored with it.
DWORD RewriteProfileFile(const std::string& hostPath, std::string_view bytes);

}  // namespace winsim::profile
