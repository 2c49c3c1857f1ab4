#include "ModeFileGroup.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cstring>

#include "InstallLog.h"

namespace {
constexpr int kPathBufferSize = 1024;
}

int CModeFileGroup::IsFilesExists(CString strPath) {
  if (strPath.GetLength() >= kPathBufferSize) {
    WriteLog("IsFilesExists()에서 버퍼 크기가 부족 사이즈(1024) : %s", (LPCSTR)strPath);
    return 0;
  }
  char szPath[kPathBufferSize] = {0};
  std::memcpy(szPath, (LPCSTR)strPath, static_cast<size_t>(strPath.GetLength()));
  struct _stat st;
  return _stat(szPath, &st) == 0 ? 1 : 0;
}

int CModeFileGroup::CopyFileTo(CString strSource, CString strTargetFolder) {
  const CString strTarget = strTargetFolder + strSource.Mid(strSource.ReverseFind('\\'));
  if (!IsFilesExists(strSource)) {
    WriteLog("파일 Search 실패 : %s", (LPCSTR)strSource);
    return 1;
  }
  if (!CopyFileA(strSource, strTarget, FALSE)) {
    WriteLog("%s -> %s 파일 복사 실패, ErrorCode = %d", (LPCSTR)strSource, (LPCSTR)strTarget,
             static_cast<int>(GetLastError()));
    return 0;
  }
  return 1;
}

int CModeFileGroup::IsModeFileDelete(CString strPath) {
  struct _stat st;
  if (_stat(strPath, &st) != 0) {
    WriteLog("CDeleCodeDlg::IsFileExist() : File is not exist. path : %s", (LPCSTR)strPath);
    WriteLog("IsModeFileDelete()::파일 삭제하려 했으나 파일이 존재하지 않음 -> %s", (LPCSTR)strPath);
    return 1;
  }
  WriteLog("CDeleCodeDlg::IsFileExist() : File exist. path : %s", (LPCSTR)strPath);
  SetFileAttributesA(strPath, FILE_ATTRIBUTE_NORMAL);
  if (!DeleteFileA(strPath)) {
    WriteLog("IsModeFileDelete()::SHFileOperation() 파일 삭제 실패 -> %s, ErrorCode = %d", (LPCSTR)strPath,
             static_cast<int>(GetLastError()));
    return 0;
  }
  WriteLog("IsModeFileDelete()::SHFileOperation() 파일 삭제 -> %s", (LPCSTR)strPath);
  return 1;
}
