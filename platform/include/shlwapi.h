// Shell lightweight utilities.
#pragma once
#include "windows.h"

#ifdef __cplusplus
extern "C" {
#endif

LSTATUS WINAPI SHDeleteKeyA(HKEY hkey, LPCSTR pszSubKey);
BOOL WINAPI PathFileExistsA(LPCSTR pszPath);

#ifdef __cplusplus
}
#endif
