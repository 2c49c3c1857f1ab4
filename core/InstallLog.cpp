#include "InstallLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "windows.h"

namespace {

// One writer at a time within the process: a line is never split by
// another thread's line, and the size that decides a rotation is the size
// after this writer's own line, so two threads crossing the limit together
// rotate once. (Constant-initialised, so it is usable before anything else
// of the program is set up.)
std::mutex g_logMutex;

// The caller's message formatted in full.
std::string FormatText(const char* format, va_list args) {
  va_list counting;
  va_copy(counting, args);
  const int nLength = vsnprintf(nullptr, 0, format, counting);
  va_end(counting);
  if (nLength <= 0) return std::string();
  std::string text(static_cast<size_t>(nLength) + 1, '\0');
  vsnprintf(text.data(), text.size(), format, args);
  text.resize(static_cast<size_t>(nLength));
  return text;
}

}  // namespace

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

  va_list args;
  va_start(args, format);
  const std::string strLine = std::string(szTime) + " " + FormatText(format, args) + "\n";
  va_end(args);

  // The line with the text-mode line end (CR LF for every LF), written in
  // binary to an unbuffered stream: one write, whatever its length, where a
  // text-mode stream would split a long line at its buffer.
  std::string strBytes;
  strBytes.reserve(strLine.size() + 2);
  for (const char ch : strLine) {
    if (ch == '\n') strBytes += '\r';
    strBytes += ch;
  }

  std::lock_guard<std::mutex> lock(g_logMutex);
  FILE* fp = fopen(strLogPath.c_str(), "ab");
  if (!fp) return;
  setvbuf(fp, nullptr, _IONBF, 0);
  fwrite(strBytes.data(), 1, strBytes.size(), fp);
  fflush(fp);
  const long lSize = ftell(fp);
  fclose(fp);

  // The line that passes the limit stays in the old file; the next call
  // starts a new one.
  if (lSize > kInstallLogRotateSize) {
    MoveFileExA(strLogPath.c_str(), strBackupPath.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}
