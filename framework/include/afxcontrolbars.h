// Shell manager and visual managers: start-up services of the framework.
// The desktop draws every window in one look, so they change nothing.
#pragma once
#include "afxwin.h"

class CShellManager : public CObject {
 public:
  CShellManager() = default;
  ~CShellManager() override = default;
};

class CMFCVisualManager : public CObject {
 public:
  DECLARE_DYNCREATE(CMFCVisualManager)
  CMFCVisualManager() = default;
  // Chooses the visual manager class; remembered, nothing else changes.
  static void PASCAL SetDefaultManager(CRuntimeClass* pRTI);
  static CRuntimeClass* PASCAL GetDefaultManagerClass();
};

class CMFCVisualManagerWindows : public CMFCVisualManager {
 public:
  DECLARE_DYNCREATE(CMFCVisualManagerWindows)
  CMFCVisualManagerWindows() = default;
};

class CWinAppEx : public CWinApp {
 public:
  DECLARE_DYNAMIC(CWinAppEx)
  explicit CWinAppEx(BOOL bResourceSmartUpdate = FALSE) {}
};
