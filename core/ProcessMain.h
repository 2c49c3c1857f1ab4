// The controller: decides what one run does, from the command line and the
// configuration file, and runs the work silently or shows the wizard.
#pragma once
#include "Finish2Dlg.h"
#include "LicenseDlg.h"
#include "ProgressDlg.h"
#include "VeltraneGtcSetupDlg.h"
#include "WelComeDlg.h"

class CProcessMain {
 public:
  CProcessMain();
  ~CProcessMain();

  // One run; returns 0 on every path.
  int StartWork();

  // Parts of the run, exposed for tests.
  int IsDefaultFilePath();
  int CheckCommandLine();
  bool CheckRegistryControlPanel();
  bool IsInstalled();
  void BuildPageList();

  // The wizard comes first: a pointer to the controller is also a pointer
  // to the wizard dialog.
  CVeltraneGtcSetupDlg m_wizard;
  CWelComeDlg m_welcomePage;
  CLicenseDlg m_licensePage;
  CFinish2Dlg m_finishPage;
  CProgressDlg m_progressPage;

  CString m_strSourceCopyPath;
  CString m_strInstallFolder;
  CString m_strInstalledCopyPath;
  CString m_strNoticeOptionPath;
  CString m_strSourceFolder;
  int m_nWaitTimerLimit = 0;
  int m_bSilent = 0;
  int m_bInstall = 0;
  int m_bUninstall = 0;
  int m_bReverted = 0;

  CProcessMain(const CProcessMain&) = delete;
  CProcessMain& operator=(const CProcessMain&) = delete;

 private:
  void WireWizardSettings();
  void RunSilent();
};
