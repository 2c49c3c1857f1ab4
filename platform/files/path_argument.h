// The common first step of every A function that takes a path: turn the
// argument into a resolved path, or set the Windows error for it.
#pragma once
#include <string>
#include <string_view>

#include "winsim/paths.h"

namespace winsim::files {

// False (last error set) when the argument is unusable:
//  - NULL or "": ERROR_PATH_NOT_FOUND, as NT treats both as an empty name;
//  - a malformed name: the resolver's code (ERROR_INVALID_NAME, ...);
//  - 260 characters or more, given or once made absolute:
//    ERROR_FILENAME_EXCED_RANGE, which is what the A functions report when
//    the name does not fit their MAX_PATH conversion buffer.
bool ResolveArgument(const char* path, unsigned flags, ResolvedPath* out);
// The same for an argument the caller converted with `settings` (see
// CurrentAnsiPathSettings), with the same errors.
bool ResolveConvertedArgument(std::u16string_view path, unsigned flags, const AnsiPathSettings& settings,
                              ResolvedPath* out);

// The error for something that is not there: ERROR_FILE_NOT_FOUND when the
// folder that would hold it exists, else ERROR_PATH_NOT_FOUND.
DWORD MissingError(const ResolvedPath& path);

// A name with a trailing backslash that resolves to a file: Windows treats
// the file as a folder that is not there (ERROR_PATH_NOT_FOUND).
bool FileWithTrailingSlash(const ResolvedPath& path);

// The Windows error for a failed host creation (mkdir, open with O_CREAT):
// ENOENT there means a folder of the path is missing.
DWORD CreationError(int err);

// The folder that holds a host path ("/" for a top-level entry).
std::string HostParent(const std::string& hostPath);
// The last component of a host path.
std::string HostBaseName(const std::string& hostPath);

}  // namespace winsim::files
