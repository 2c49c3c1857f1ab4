#include "WizardTexts.h"

namespace wizardtexts {

CString TimeoutMessage(bool bInstall, bool bUninstall) {
  if (bInstall) return "작업 대기 시간이 초과되어 설치 마법사를 종료합니다.";
  if (bUninstall) return "작업 대기 시간이 초과되어 제거 마법사를 종료합니다.";
  return "작업 대기 시간이 초과되어 마법사를 종료합니다.";
}

void ShowLabel(CWnd* pPage, int nID, LPCSTR pszText) {
  CWnd* pLabel = pPage->GetDlgItem(nID);
  if (!pLabel) return;
  pLabel->SetWindowText(pszText);
  pLabel->ShowWindow(SW_SHOW);
}

}  // namespace wizardtexts
