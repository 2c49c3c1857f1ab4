// The framework's file classes over the kernel's file operations.
//
// This framework raises no C++ exceptions (nothing is thrown across the
// platform layer). Where the original framework throws a CFileException*,
// CFile here returns its failure value (0 bytes read, length 0, ...) and
// keeps the error in the object: HasError(), GetLastException().
#pragma once
#include "afxobj.h"
#include "afxstr.h"

class CException : public CObject {
 public:
  DECLARE_DYNAMIC(CException)
  CException() = default;
  virtual BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const;
  // Shows the error's message in the framework's message box; returns its result.
  virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0) const;
  void Delete() {}
};

class CFileException : public CException {
 public:
  DECLARE_DYNAMIC(CFileException)
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };
  explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszArchiveName = nullptr)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}
  // The cause that matches a Windows error code.
  static int PASCAL OsErrorToException(LONG lOsError);
  BOOL GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class CFile : public CObject {
 public:
  DECLARE_DYNAMIC(CFile)
  enum OpenFlags {
    modeRead = 0x00000,
    modeWrite = 0x00001,
    modeReadWrite = 0x00002,
    shareCompat = 0x00000,
    shareExclusive = 0x00010,
    shareDenyWrite = 0x00020,
    shareDenyRead = 0x00030,
    shareDenyNone = 0x00040,
    modeNoInherit = 0x00080,
    modeCreate = 0x01000,
    modeNoTruncate = 0x02000,
    typeText = 0x04000,
    typeBinary = 0x08000,
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
  static const HANDLE hFileNull;

  CFile();
  explicit CFile(HANDLE hFile);
  ~CFile() override;

  virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual ULONGLONG GetLength() const;
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  void SeekToBegin() { Seek(0, begin); }
  virtual ULONGLONG GetPosition() const;
  virtual void Flush();
  virtual void Close();
  virtual void Abort();
  CString GetFilePath() const { return m_strFileName; }
  CString GetFileName() const;

  // The error of the last failed operation (see the header comment).
  BOOL HasError() const { return m_lastError.m_cause != CFileException::none; }
  const CFileException& GetLastException() const { return m_lastError; }
  void ClearError() { m_lastError = CFileException(); }

  HANDLE m_hFile;

  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

 protected:
  void Fail(DWORD osError) const;
  CString m_strFileName;
  mutable CFileException m_lastError;
};

class CFileFind : public CObject {
 public:
  DECLARE_DYNAMIC(CFileFind)
  CFileFind();
  ~CFileFind() override;

  // Starts a search ("*.*" when no name is given); TRUE when something matched.
  virtual BOOL FindFile(LPCSTR pstrName = nullptr, DWORD dwUnused = 0);
  // Moves to the next match; FALSE when the current match is the last one.
  virtual BOOL FindNextFile();
  void Close();

  CString GetFileName() const;
  CString GetFilePath() const;
  CString GetFileTitle() const;
  CString GetRoot() const { return m_strRoot; }
  ULONGLONG GetLength() const;
  BOOL MatchesMask(DWORD dwMask) const;
  BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
  BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
  BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
  BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
  BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
  BOOL IsDots() const;

  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

 private:
  HANDLE m_hContext;
  WIN32_FIND_DATAA* m_pFoundInfo;
  WIN32_FIND_DATAA* m_pNextInfo;
  CString m_strRoot;
};
