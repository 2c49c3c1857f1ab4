// The framework's common-control classes.
#pragma once
#include "afxwin.h"

class CProgressCtrl : public CWnd {
 public:
  DECLARE_DYNAMIC(CProgressCtrl)
  CProgressCtrl() = default;
  void SetRange(short nLower, short nUpper) {
    ::SendMessageA(m_hWnd, PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper));
  }
  void SetRange32(int nLower, int nUpper) { ::SendMessageA(m_hWnd, PBM_SETRANGE32, nLower, nUpper); }
  void GetRange(int& nLower, int& nUpper) const;
  int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0)); }
  int SetPos(int nPos) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETPOS, nPos, 0)); }
  int OffsetPos(int nPos) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_DELTAPOS, nPos, 0)); }
  int SetStep(int nStep) { return static_cast<int>(::SendMessageA(m_hWnd, PBM_SETSTEP, nStep, 0)); }
  int StepIt() { return static_cast<int>(::SendMessageA(m_hWnd, PBM_STEPIT, 0, 0)); }
};
