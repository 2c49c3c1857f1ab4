// The last page: the outcome's artwork and title, the failed-restart label
// when a forced restart was configured, and only Finish usable.
#pragma once
#include "ArtworkImage.h"
#include "FinishOutcome.h"
#include "NewWizPage.h"

class CVeltraneGtcSetupDlg;

class CFinish2Dlg : public CNewWizPage {
 public:
  CFinish2Dlg();
  ~CFinish2Dlg() override;

  CFont m_fontHeading;                            // handed to the heading label
  CVeltraneGtcSetupDlg* m_pMainDlg = nullptr;
  CArtworkImage* m_pImageBanner = nullptr;
  CArtworkImage* m_pImagePage = nullptr;
  int m_nPagePosition = 0;
  int m_bPageActive = 0;                          // never set by this page
  CString m_strHeading;
  CString m_strLine1018;
  CString m_strLine1017;

  void OnSetActive() override;
  BOOL OnQueryCancel() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // How the run ended, from the wizard's settings.
  finishoutcome::Run RunFacts() const;
  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
