// Folder tests and creation.
#pragma once
#include "afx.h"

class CModeFolderGroup {
 public:
  CModeFolderGroup() = default;
  virtual ~CModeFolderGroup() = default;

  // 1 when nothing (no file, no folder) exists at the path.
  int IsFolderMissing(CString strPath);
  // Creates one folder (never its parents). A path holding the marker
  // "(Hidden)" is created without the marker and made hidden; that form
  // always reports 1.
  int MakeFolder(CString strPath);
};
