// The error dialog: one message with an OK button, in front of every other
// window and centred on the screen. Start-up shows the busy message of a
// second setup program in it.
#pragma once
#include "afxwin.h"

class CErrorDlg : public CDialog {
 public:
  explicit CErrorDlg(CWnd* pParent = nullptr);
  ~CErrorDlg() override;

  CString m_strTitle;      // becomes the caption
  CString m_strMessage;    // becomes the text of control 1101
  HICON m_hIcon = nullptr; // large and small window icon, drag icon

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  DECLARE_MESSAGE_MAP()
};
