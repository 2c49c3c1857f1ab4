// The first page: welcome artwork, Next to go on, Cancel to leave.
#pragma once
#include "ArtworkImage.h"
#include "NewWizPage.h"

class CVeltraneGtcSetupDlg;

class CWelComeDlg : public CNewWizPage {
 public:
  CWelComeDlg();
  ~CWelComeDlg() override;

  CFont m_font;                                   // holds no font after initialisation
  CVeltraneGtcSetupDlg* m_pMainDlg = nullptr;
  int m_bPageActive = 0;
  CArtworkImage* m_pImageBanner = nullptr;
  CArtworkImage* m_pImagePage = nullptr;

  void OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnQueryCancel() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDestroy();
  afx_msg void OnRebootCheck();
  DECLARE_MESSAGE_MAP()
};
