// Control classes of the framework.
#include "afxcmn.h"

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

#ifndef STM_SETICON
#define STM_SETICON 0x0170
#define STM_GETICON 0x0171
#endif

HICON CStatic::SetIcon(HICON hIcon) {
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0)); }

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const {
  int range[2] = {0, 0};
  ::SendMessageA(m_hWnd, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(range));
  nLower = range[0];
  nUpper = range[1];
}
