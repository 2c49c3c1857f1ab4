// The application object: the whole life of the setup program is one call
// of its initialisation.
#pragma once
#include "afxwin.h"

class CVeltraneGtcSetupApp : public CWinApp {
 public:
  CVeltraneGtcSetupApp();
  ~CVeltraneGtcSetupApp() override;

  // Always FALSE: the framework's message loop is never entered.
  BOOL InitInstance() override;
  int ExitInstance() override;

  ULONG_PTR m_gdiplusToken = 0;

 protected:
  DECLARE_MESSAGE_MAP()
};
