// The notice: one line of text without buttons that closes itself after
// 1.5 seconds. The silent mode shows its start and completion notices in it.
#pragma once
#include "afxwin.h"

class CNoticeDlg : public CDialog {
  DECLARE_DYNAMIC(CNoticeDlg)

 public:
  explicit CNoticeDlg(CWnd* pParent = nullptr);
  ~CNoticeDlg() override;

  CString m_strMessage;   // the text to show
  CStatic m_staticText;   // control 1000

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  afx_msg void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()
};
