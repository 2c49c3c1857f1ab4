// Must not compile: a text from outside used as the format.
#include "InstallLog.h"

void LogValue(const char* pszValue) { WriteLog(pszValue, 0); }
