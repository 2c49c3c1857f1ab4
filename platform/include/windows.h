// The Windows API as this layer offers it. Code written for Windows
// includes this header unchanged.
#pragma once
#include "windef.h"
#include "winerror.h"
#include "winbase.h"
#include "winnls.h"
#include "winreg.h"
#include "winsecurity.h"
#include "winuser.h"
#include "crt_msvc.h"
