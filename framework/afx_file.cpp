// The framework's file classes over the kernel's file operations, and its
// standard file-error messages.
#include <cstring>

#include "afxwin.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CFileFind, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

// The framework's message for each cause; %1 is the file's name.
LPCSTR CauseMessage(int cause) {
  switch (cause) {
    case CFileException::genericException: return "An unexpected error occurred while accessing %1.";
    case CFileException::fileNotFound: return "%1 was not found.";
    case CFileException::badPath: return "%1 contains an invalid path.";
    case CFileException::tooManyOpenFiles: return "%1 could not be opened because there are too many open files.";
    case CFileException::accessDenied: return "Access to %1 was denied.";
    case CFileException::invalidFile: return "An invalid file handle was associated with %1.";
    case CFileException::removeCurrentDir: return "%1 could not be removed because it is the current directory.";
    case CFileException::directoryFull: return "%1 could not be created because the directory is full.";
    case CFileException::badSeek: return "Seek failed on %1";
    case CFileException::hardIO: return "A hardware I/O error was reported while accessing %1.";
    case CFileException::sharingViolation: return "A sharing violation occurred while accessing %1.";
    case CFileException::lockViolation: return "A locking violation occurred while accessing %1.";
    case CFileException::diskFull: return "Disk full while accessing %1.";
    case CFileException::endOfFile: return "An attempt was made to access %1 past its end.";
    default: return "An unknown error occurred while accessing %1.";
  }
}

void CopyOut(const CString& text, LPSTR buffer, UINT size) {
  if (!buffer || size == 0) return;
  lstrcpynA(buffer, text, static_cast<int>(size));
}

}  // namespace

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError && nMaxError) *lpszError = '\0';
  return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) const {
  char message[512];
  if (GetErrorMessage(message, sizeof message)) return AfxMessageBox(message, nType);
  return AfxMessageBox("An unsupported operation was attempted.", nType);
}

int PASCAL CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_BAD_FORMAT: return invalidFile;
    case ERROR_INVALID_ACCESS: return accessDenied;
    case ERROR_INVALID_DRIVE: return badPath;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_NOT_SAME_DEVICE: return badPath;
    case ERROR_NO_MORE_FILES: return fileNotFound;
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_NOT_READY: return hardIO;
    case ERROR_GEN_FAILURE: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_BAD_NETPATH: return badPath;
    case ERROR_FILE_EXISTS: return accessDenied;
    case ERROR_CANNOT_MAKE: return accessDenied;
    case ERROR_INVALID_NAME: return badPath;
    default: return genericException;
  }
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = static_cast<UINT>(m_cause);
  CString message(CauseMessage(m_cause));
  message.Replace("%1", m_strFileName.IsEmpty() ? "an unnamed file" : static_cast<LPCSTR>(m_strFileName));
  CopyOut(message, lpszError, nMaxError);
  return TRUE;
}

CFile::CFile() : m_hFile(hFileNull) {}
CFile::CFile(HANDLE hFile) : m_hFile(hFile) {}

CFile::~CFile() {
  if (m_hFile != hFileNull) Close();
}

void CFile::Fail(DWORD osError) const {
  m_lastError.m_lOsError = static_cast<LONG>(osError);
  m_lastError.m_cause = CFileException::OsErrorToException(static_cast<LONG>(osError));
  if (m_lastError.m_cause == CFileException::none) m_lastError.m_cause = CFileException::genericException;
  m_lastError.m_strFileName = m_strFileName;
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_hFile != hFileNull) Close();
  m_strFileName = lpszFileName;
  DWORD access = 0;
  switch (nOpenFlags & 3) {
    case modeRead: access = GENERIC_READ; break;
    case modeWrite: access = GENERIC_WRITE; break;
    default: access = GENERIC_READ | GENERIC_WRITE; break;
  }
  DWORD share = 0;
  switch (nOpenFlags & 0x70) {
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // compatibility mode is exclusive
  }
  DWORD creation = (nOpenFlags & modeCreate) ? ((nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS)
                                             : OPEN_EXISTING;
  HANDLE file = CreateFileA(lpszFileName, access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    Fail(error);
    if (pError) {
      pError->m_lOsError = static_cast<LONG>(error);
      pError->m_cause = CFileException::OsErrorToException(static_cast<LONG>(error));
      pError->m_strFileName = lpszFileName;
    }
    SetLastError(error);
    return FALSE;
  }
  m_hFile = file;
  return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  DWORD read = 0;
  if (!ReadFile(m_hFile, lpBuf, nCount, &read, nullptr)) {
    Fail(GetLastError());
    return 0;
  }
  return read;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, lpBuf, nCount, &written, nullptr)) Fail(GetLastError());
  else if (written < nCount) Fail(ERROR_DISK_FULL);
}

ULONGLONG CFile::GetLength() const {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(m_hFile, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    Fail(GetLastError());
    return 0;
  }
  return (static_cast<ULONGLONG>(high) << 32) | low;
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONG high = static_cast<LONG>(lOff >> 32);
  SetLastError(NO_ERROR);
  DWORD low = SetFilePointer(m_hFile, static_cast<LONG>(lOff & 0xFFFFFFFF), &high, nFrom);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
    Fail(GetLastError());
    return 0;
  }
  return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetPosition() const {
  LONG high = 0;
  DWORD low = SetFilePointer(m_hFile, 0, &high, FILE_CURRENT);
  return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

void CFile::Flush() {
  if (m_hFile != hFileNull && !FlushFileBuffers(m_hFile)) Fail(GetLastError());
}

void CFile::Close() {
  if (m_hFile != hFileNull && !CloseHandle(m_hFile)) Fail(GetLastError());
  m_hFile = hFileNull;
}

void CFile::Abort() {
  if (m_hFile != hFileNull) CloseHandle(m_hFile);
  m_hFile = hFileNull;
}

CString CFile::GetFileName() const {
  int slash = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
  return m_strFileName.Mid(slash + 1);
}

CFileFind::CFileFind() : m_hContext(nullptr), m_pFoundInfo(nullptr), m_pNextInfo(nullptr) {}

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
  delete m_pFoundInfo;
  delete m_pNextInfo;
  m_pFoundInfo = m_pNextInfo = nullptr;
  if (m_hContext && m_hContext != INVALID_HANDLE_VALUE) FindClose(m_hContext);
  m_hContext = nullptr;
}

BOOL CFileFind::FindFile(LPCSTR pstrName, DWORD dwUnused) {
  Close();
  if (!pstrName) pstrName = "*.*";
  m_pNextInfo = new WIN32_FIND_DATAA{};
  m_hContext = FindFirstFileA(pstrName, m_pNextInfo);
  if (m_hContext == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    Close();
    SetLastError(error);
    return FALSE;
  }
  // The folder the names are found in: the full path up to its last
  // separator.
  char full[MAX_PATH] = {};
  if (!GetFullPathNameA(pstrName, MAX_PATH, full, nullptr)) lstrcpynA(full, pstrName, MAX_PATH);
  char* back = std::strrchr(full, '\\');
  char* forward = std::strrchr(full, '/');
  char* last = back > forward ? back : forward;
  if (last) *last = '\0';
  m_strRoot = full;
  return TRUE;
}

BOOL CFileFind::FindNextFile() {
  if (!m_hContext) return FALSE;
  if (!m_pFoundInfo) m_pFoundInfo = new WIN32_FIND_DATAA{};
  std::swap(m_pFoundInfo, m_pNextInfo);
  return ::FindNextFileA(m_hContext, m_pNextInfo);
}

CString CFileFind::GetFileName() const { return m_pFoundInfo ? CString(m_pFoundInfo->cFileName) : CString(); }

CString CFileFind::GetFilePath() const {
  CString path = m_strRoot;
  if (path.IsEmpty() || (path[path.GetLength() - 1] != '\\' && path[path.GetLength() - 1] != '/')) path += '\\';
  return path + GetFileName();
}

CString CFileFind::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot < 0 ? name : name.Left(dot);
}

ULONGLONG CFileFind::GetLength() const {
  if (!m_pFoundInfo) return 0;
  return (static_cast<ULONGLONG>(m_pFoundInfo->nFileSizeHigh) << 32) | m_pFoundInfo->nFileSizeLow;
}

BOOL CFileFind::MatchesMask(DWORD dwMask) const {
  return m_pFoundInfo && (m_pFoundInfo->dwFileAttributes & dwMask) != 0;
}

BOOL CFileFind::IsDots() const {
  if (!m_pFoundInfo || !IsDirectory()) return FALSE;
  const char* n = m_pFoundInfo->cFileName;
  return (n[0] == '.' && n[1] == '\0') || (n[0] == '.' && n[1] == '.' && n[2] == '\0');
}
