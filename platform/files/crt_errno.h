// The Windows C runtime's mapping of Windows error codes to errno values,
// used where a C-runtime function fails because a Windows operation did.
#pragma once
#include "windef.h"

namespace winsim::files {

int CrtErrnoFromWin32(DWORD error);

}  // namespace winsim::files
