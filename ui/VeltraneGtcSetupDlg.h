// The setup program's main window: the wizard frame with its own Next
// handling, the window title, and the settings every page and work group
// reads.
#pragma once
#include "NewWizDialog.h"
#include "afxwin.h"

class CVeltraneGtcSetupDlg : public CNewWizDialog {
 public:
  explicit CVeltraneGtcSetupDlg(CWnd* pParent = nullptr);
  ~CVeltraneGtcSetupDlg() override;

  HBRUSH m_hBackgroundBrush;        // the stock white brush
  int m_nWaitTimeLimit = 0;         // seconds; read by the progress page
  HWND m_hOwnWnd = nullptr;         // recorded when the window is initialised
  int m_bNextEnabled = 0;           // while 0, Next does nothing
  HWND m_hNextButton = nullptr;     // recorded when the window is initialised
  int m_bSwallowNextClick = 0;      // the next Next click only clears it
  int m_nPageCount = 0;
  CButton m_btnCancel;
  CButton m_btnNext;
  CButton m_btnFinish;
  CButton m_btnBack;

  // The wizard settings: copied from the controller before any page exists.
  int m_nWaitTimerLimit = 0;
  CString m_strSourceCopyPath;      // the configuration file in the source folder
  CString m_strInstallFolder;
  CString m_strInstalledCopyPath;   // the configuration file in the recovery folder
  CString m_strProfilePath;         // loaded through the configuration reader by the work
  CString m_strSourceFolder;
  int m_bSilent = 0;
  int m_bInstall = 0;
  int m_bUninstall = 0;
  int m_bReverted = 0;
  int m_nScreenDpi = 0;
  HICON m_hIcon = nullptr;
  // Set when the profile configuration could not be loaded, so that no
  // work ran: nothing may then claim a completed install or removal.
  int m_bProfileLoadFailed = 0;
  // Set when the run's work was cancelled before it began: the finish page
  // then shows a cancelled run, never a completed one.
  int m_bWorkSkipped = 0;
  // Set when an uninstall's work began but did not run to its end: parts of
  // the plug-in may remain, so the finish page must not say it was removed.
  int m_bUninstallIncomplete = 0;

  // Horizontal logical pixels per inch of a screen-compatible device context.
  static int MeasureScreenDpi(CWnd* pWnd);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void SetWindowTitle();
  afx_msg void OnNext();
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};
