// The extended dialog class of the framework: a dialog whose background
// colour can be set.
#pragma once
#include "afxwin.h"

class CDialogEx : public CDialog {
 public:
  DECLARE_DYNAMIC(CDialogEx)
  CDialogEx() = default;
  explicit CDialogEx(UINT nIDTemplate, CWnd* pParent = nullptr) : CDialog(nIDTemplate, pParent) {}
  explicit CDialogEx(LPCSTR lpszTemplateName, CWnd* pParent = nullptr) : CDialog(lpszTemplateName, pParent) {}
  void SetBackgroundColor(COLORREF color, BOOL bRepaint = TRUE);

 protected:
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  CBrush m_brBkgr;
  DECLARE_MESSAGE_MAP()
};
