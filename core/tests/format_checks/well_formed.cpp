// Compiles: the control case of the format checks.
#include "InstallLog.h"

void LogBoth(int nCount, const char* pszValue) { WriteLog("count = %d, value = %s", nCount, pszValue); }
