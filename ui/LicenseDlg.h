// The licence page: the agreement text and the accept and decline choice;
// Next is enabled only while "accept" is chosen.
#pragma once
#include "ArtworkImage.h"
#include "NewWizPage.h"

class CVeltraneGtcSetupDlg;

class CLicenseDlg : public CNewWizPage {
 public:
  CLicenseDlg();
  ~CLicenseDlg() override;

  CFont m_font;                                   // holds no font after initialisation
  CVeltraneGtcSetupDlg* m_pMainDlg = nullptr;
  CArtworkImage* m_pImageBanner = nullptr;
  CArtworkImage* m_pImagePage = nullptr;
  int m_nPagePosition = 0;                        // 1-based position in the page list
  int m_bPageActive = 0;
  CButton m_btnDecline;
  CButton m_btnAccept;
  CString m_strAgreement;
  CString m_strTopMessage;
  int m_nAgreement = 1;                           // 0 accepted, 1 not accepted

  void OnSetActive() override;
  BOOL OnKillActive() override;
  BOOL OnQueryCancel() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void ReadAgreement();
  afx_msg void OnAccept();
  afx_msg void OnDecline();
  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
