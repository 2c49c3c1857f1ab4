#include "InstallLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
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

// The caller's message formatted in full: into `buffer` when it fits,
// else into `spill`. Returns the text and sets *length (0 when the
// format fails).
const char* FormatText(char (&buffer)[1024], std::string& spill, size_t* length, const char* format, va_list args) {
  va_list again;
  va_copy(again, args);
  const int nLength = vsnprintf(buffer, sizeof buffer, format, args);
  const char* text = buffer;
  *length = nLength > 0 ? static_cast<size_t>(nLength) : 0;
  if (nLength > 0 && static_cast<size_t>(nLength) >= sizeof buffer) {
    spill.assign(static_cast<size_t>(nLength) + 1, '\0');
    vsnprintf(spill.data(), spill.size(), format, again);
    text = spill.data();
  }
  va_end(again);
  return text;
}

// `text` with the text-mode line end: CR LF for every LF.
void AppendWithLineEnds(std::string& out, const char* text, size_t length) {
  const char* end = text + length;
  while (text < end) {
    const char* lf = static_cast<const char*>(memchr(text, '\n', static_cast<size_t>(end - text)));
    if (!lf) {
      out.append(text, end);
      return;
    }
    out.append(text, lf);
    out += "\r\n";
    text = lf + 1;
  }
}

// The log stays open between lines, appending only and sharing everything,
// so that others may read, delete or rotate it while it is open.
HANDLE g_hLog = INVALID_HANDLE_VALUE;
// Its name on the volume when it was opened ("\\Windows\\System32\\..."),
// kept in plain storage: a line may be written while statics are torn down.
constexpr DWORD kNameBufferSize = sizeof(FILE_NAME_INFO) + 2 * MAX_PATH * sizeof(WCHAR);
alignas(FILE_NAME_INFO) char g_openName[kNameBufferSize];
bool g_bOpenNameKnown = false;

// The name the open log has now, into `buffer`; false when it cannot be told.
bool NameOfOpenLog(char (&buffer)[kNameBufferSize]) {
  return GetFileInformationByHandleEx(g_hLog, FileNameInfo, buffer, kNameBufferSize) != FALSE;
}

bool SameName(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const FILE_NAME_INFO*>(a);
  const auto* y = reinterpret_cast<const FILE_NAME_INFO*>(b);
  return x->FileNameLength == y->FileNameLength && memcmp(x->FileName, y->FileName, x->FileNameLength) == 0;
}

void CloseLog() {
  if (g_hLog != INVALID_HANDLE_VALUE) CloseHandle(g_hLog);
  g_hLog = INVALID_HANDLE_VALUE;
  g_bOpenNameKnown = false;
}

// The open log, opened again when the file under the handle is no longer
// the log: deleted, renamed (rotated by another instance) or another
// machine's. Its name is asked each time; that costs less than opening.
HANDLE CurrentLog(const std::string& strLogPath) {
  if (g_hLog != INVALID_HANDLE_VALUE) {
    alignas(FILE_NAME_INFO) char now[kNameBufferSize];
    if (NameOfOpenLog(now) && SameName(now, g_openName)) return g_hLog;
  }
  CloseLog();
  g_hLog = CreateFileA(strLogPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (g_hLog == INVALID_HANDLE_VALUE) return g_hLog;
  g_bOpenNameKnown = NameOfOpenLog(g_openName);
  if (!g_bOpenNameKnown) CloseLog();  // no way to tell a moved log: never write blind
  return g_hLog;
}

}  // namespace

void WriteLog(const char* format, ...) {
  // The path is formed anew on every call: the log may be written before
  // anything else is set up, and from any thread.
  char szSystemDir[MAX_PATH] = {0};
  GetSystemDirectoryA(szSystemDir, MAX_PATH);
  const std::string strLogPath = std::string(szSystemDir) + "\\VelGTCInstall.log";

  SYSTEMTIME st;
  GetLocalTime(&st);
  char szTime[40] = {0};
  _snprintf_s(szTime, sizeof szTime, _TRUNCATE, "%04d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay,
              st.wHour, st.wMinute, st.wSecond);

  // Most lines fit the buffer on the stack: one formatting, no copy.
  char szText[1024];
  std::string strLongText;
  size_t nTextLength = 0;
  va_list args;
  va_start(args, format);
  const char* pszText = FormatText(szText, strLongText, &nTextLength, format, args);
  va_end(args);

  // The line with the text-mode line end (CR LF for every LF), written in
  // one write, whatever its length.
  const size_t nTimeLength = strlen(szTime);
  std::string strBytes;
  strBytes.reserve(nTimeLength + 1 + nTextLength + 2 + nTextLength / 8);
  AppendWithLineEnds(strBytes, szTime, nTimeLength);
  strBytes += ' ';
  AppendWithLineEnds(strBytes, pszText, nTextLength);
  strBytes += "\r\n";

  std::lock_guard<std::mutex> lock(g_logMutex);
  HANDLE hLog = CurrentLog(strLogPath);
  if (hLog == INVALID_HANDLE_VALUE) return;
  DWORD dwWritten = 0;
  WriteFile(hLog, strBytes.data(), static_cast<DWORD>(strBytes.size()), &dwWritten, nullptr);
  DWORD dwSizeHigh = 0;
  const DWORD dwSizeLow = GetFileSize(hLog, &dwSizeHigh);
  const long long llSize = (static_cast<long long>(dwSizeHigh) << 32) | dwSizeLow;

  // The line that passes the limit stays in the old file; the next call
  // starts a new one.
  if (llSize > kInstallLogRotateSize) {
    CloseLog();
    const std::string strBackupPath = strLogPath + ".0";
    MoveFileExA(strLogPath.c_str(), strBackupPath.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
}
