// Must not compile: the argument does not match its conversion.
#include "InstallLog.h"

void LogCount(int nCount) { WriteLog("count = %s", nCount); }
