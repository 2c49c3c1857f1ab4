// The progress page. It owns the install engine: the work runner, the three
// work groups, the rollback and the restart run as its member operations,
// on a worker thread in wizard mode or on the caller's thread in silent
// mode.
#pragma once
#include <openssl/conf.h>

#include <atomic>

#include "ModeFileGroup.h"
#include "ModeFolderGroup.h"
#include "NewWizPage.h"
#include "WorkHandshake.h"
#include "afxcmn.h"
#include "afxwin.h"

class CVeltraneGtcSetupDlg;
class CArtworkImage;

// Posted by the worker to the page when the work has ended.
#define WM_WORK_DONE (WM_USER + 1)
// Sent by the worker to have the page run one of its page actions on the
// page's own thread.
#define WM_PAGE_ACTION (WM_USER + 2)

class CProgressDlg : public CNewWizPage {
 public:
  CProgressDlg();
  ~CProgressDlg() override;

  CVeltraneGtcSetupDlg* m_pMainDlg = nullptr;
  CArtworkImage* m_pImageTopRight = nullptr;
  CArtworkImage* m_pImageTopLeft = nullptr;
  CArtworkImage* m_pImageLower = nullptr;
  LHASH_OF(CONF_VALUE)* m_pConf = nullptr;
  long m_nConfErrorLine = 0;
  int m_bConfLoaded = 0;
  CModeFolderGroup m_folderGroup;
  CModeFileGroup m_fileGroup;
  int m_bTimerPaused = 0;
  int m_bWaitTimeUp = 0;
  CString m_strMinuteUnit;
  CString m_strSecondUnit;
  int m_nElapsedSeconds = 0;
  int m_bPageActive = 0;
  int m_nProgressPos = 0;
  // Whether the run's work is wanted, decided once between the cancel
  // question and the worker (see WorkHandshake.h).
  CWorkHandshake m_handshake;
  CProgressCtrl m_progress;
  CString m_strStatus;
  CString m_strInfo1;
  CString m_strInfo2;
  CString m_strTitle;
  CString m_strElapsed;
  CString m_strElapsedCaption;
  CString m_strInfo3;
  int m_nPagePosition = 0;  // 1-based position in the page list, as the other pages keep it

  // Work runner.
  void StartWorkThread();
  static DWORD WINAPI ThreadFunc(LPVOID pParam);
  int IsWorkGroupPlay();
  int IsWorkGroupExit();
  int InstallAfterWork();
  int CopyFileWithProgress(CString strSource, CString strTargetFolder);
  int RunCommandLine(CString strCommandLine, DWORD dwTimeout);
  // As RunCommandLine, but waits for the command to end (at most
  // kCommandEndBound): for regsvr32, whose work the next steps rely on.
  int RunCommandToEnd(CString strCommandLine);
  static constexpr DWORD kCommandEndBound = 30000;
  int RemoveFolderTree(CString strFolder);
  // Blocks until the worker thread (if one was started) has ended, so that
  // nothing it uses is torn down under it. Windows messages keep flowing
  // meanwhile.
  void WaitForWorker();

  // Work groups, rollback and restart.
  int InitInstance();
  int WorkFileCopy();
  int WorkRegistor();
  int WorkCommandRun();
  int RevertInstallation();
  bool forceRebooting();
  // The run's work groups all ran to their end and nothing was reverted:
  // only such a run may restart Windows.
  bool RunCompleted() const;

  // Page hooks.
  BOOL OnKillActive() override;
  void OnSetActive() override;
  BOOL OnQueryCancel() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg LRESULT OnWorkDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPageAction(WPARAM wParam, LPARAM lParam);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

 private:
  // What the worker has the page do on the page's thread: the page's
  // fields, pictures and texts belong to that thread.
  enum PageAction { kActionInitInstance = 1, kActionRefresh = 2, kActionRollbackDisplay = 3 };
  void RunOnPageThread(PageAction action);
  void DoPageAction(PageAction action);
  // Sends to the progress bar (nothing in silent mode, where it has no window).
  void SendProgress(UINT message, WPARAM wParam, LPARAM lParam);
  // One progress step: +2 (or +10 for the rollback's large step), capped
  // at 230, sent to the bar, and the page refreshed unless silent.
  void ProgressStep(int nAmount = 2);
  // The bar part of a step alone: +2, capped at 230, sent to the bar.
  void AdvanceBar(int nAmount = 2);
  void ShowStatus(const CString& strStatus);
  // Loads the profile configuration; logs a load failure with its line.
  bool LoadProfileConfig(LPCSTR pszCaller);
  void FreeProfileConfig();
  CString ElapsedText() const;
  // Stops the one-second timer: the wizard ends or the work has ended.
  void StopClock();
  void LoadUninstallArtwork();

  // Registry work steps.
  // RegisterCommonValue creates the plug-in's key and, on success, leaves
  // it open in *phRootKey; RegisterSiteSpecificValue uses it and closes it.
  LONG RegisterCommonValue(HKEY* phRootKey);
  LONG RegisterSiteSpecificValue(HKEY hRootKey);
  LONG RegisterControlValue();
  LONG UnRegisterValues();

  HANDLE m_hWorkerThread = nullptr;        // kept so the controller can wait for it
  std::atomic<int> m_bWorkerRunning{0};
  std::atomic<int> m_bExitDone{0};         // the end sequence runs once per run
  std::atomic<int> m_bOutcomeRecorded{0};  // InstallAfterWork has written its value
  // File work began (a work group ran), and command work, the last group,
  // succeeded.
  std::atomic<int> m_bWorkGroupRan{0};
  std::atomic<int> m_bWorkCompleted{0};
  // The system-folder libraries this run's copies put in place.
  int m_bPutCryptoLibrary = 0;
  int m_bPutPluginLibrary = 0;
  // Window handles taken before the worker starts; the worker uses these
  // copies, never the framework objects, which the page's thread tears down.
  HWND m_hPageWnd = nullptr;
  HWND m_hProgressWnd = nullptr;
  DWORD m_dwPageThreadId = 0;
};
