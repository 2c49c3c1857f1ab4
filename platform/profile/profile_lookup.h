// Reading an initialization file: the answer a GetPrivateProfileString call
// gives before it meets the caller's buffer.
#pragma once
#include "profile_reply.h"
#include "windef.h"

namespace winsim::profile {

// Reads the file anew (no cache) and answers the query. Returns the last
// error Windows leaves: 0, ERROR_FILE_NOT_FOUND for a missing file (treated
// as empty), or the error that kept the file from being read (the default
// is then the answer).
DWORD LookUpProfileString(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue,
                          const WCHAR* fileName, ProfileAnswer* answer);

}  // namespace winsim::profile
