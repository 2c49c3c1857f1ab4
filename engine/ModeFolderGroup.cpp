#include "ModeFolderGroup.h"

int CModeFolderGroup::IsFolderMissing(CString strPath) {
  CFileFind finder;
  BOOL bFound = finder.FindFile(strPath);
  finder.Close();
  return bFound ? 0 : 1;
}

int CModeFolderGroup::MakeFolder(CString strPath) {
  if (strPath.Find("(Hidden)") >= 0) {
    strPath.Replace("(Hidden)", "");
    CreateDirectoryA(strPath, nullptr);
    SetFileAttributesA(strPath, FILE_ATTRIBUTE_HIDDEN);
    return 1;
  }
  return CreateDirectoryA(strPath, nullptr) ? 1 : 0;
}
