// Single-file tests, copies and deletions, each logged.
#pragma once
#include "ModeFolderGroup.h"
#include "afx.h"

class CModeFileGroup {
 public:
  CModeFileGroup() = default;
  virtual ~CModeFileGroup() = default;

  // 1 when a file or folder exists at the path; 0 when not, or when the
  // path does not fit the 1024-byte buffer.
  int IsFilesExists(CString strPath);
  // Copies a file into a folder under its own name, replacing a file there.
  // A missing source is logged and counts as success.
  int CopyFileTo(CString strSource, CString strTargetFolder);
  // Deletes a file after clearing its attributes; 1 when it is gone.
  int IsModeFileDelete(CString strPath);

 private:
  CModeFolderGroup m_folderGroup;
};
