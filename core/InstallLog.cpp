#include "InstallLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "windows.h"

void WriteLog(const char* format, ...) {
  // The path is formed anew on every call: the log may be written before
  // anything else is set up, and from any thread.
  char szSystemDir[MAX_PATH] = {0};
  GetSystemDirectoryA(szSystemDir, MAX_PATH);
  const std::string strLogPath = std::string(szSystemDir) + "\\VelGTCInstall.log";
  const std::string strBackupPath = strLogPath + ".0";

  SYSTEMTIME st;
  GetLocalTime(&st);
  char szTime[40] = {0};
  _snprintf_s(szTime, sizeof szTime, _TRUNCATE, "%04d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay,
              st.wHour, st.wMinute, st.wSecond);

  FILE* fp = fopen(strLogPath.c_str(), "a");
  if (!fp) return;
  fprintf(fp, "%s ", szTime);
  va_list args;
  va_start(args, format);
  vfprintf(fp, format, args);
  va_end(args);
  fputc('\n', fp);
  fflush(fp);
  const long lSize = ftell(fp);
  fclose(fp);

  // The line that passes the limit stays in the old file; the next call
  // starts a new one.
  if (lSize > kInstallLogRotateSize) {
    MoveFileExA(strLogPath.c_str(), strBackupPath.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}
