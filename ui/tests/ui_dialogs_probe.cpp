// A small program around the error and notice dialogs, started by the
// tests with the scripted user. Its last command-line word says what to
// show:
//   error     the error dialog with the busy message of a second instance
//   sequence  the error dialog, then two notices from one notice object
#include <cstring>

#include "ErrorDlg.h"
#include "NoticeDlg.h"
#include "afxwin.h"
#include "resource.h"

namespace {

void ShowError() {
  CErrorDlg dlg;
  dlg.m_strTitle = "Veltrane RAZ";
  dlg.m_strMessage = "현재 설치/삭제가 진행중입니다, 10분 정도 후 재시도 하세요.";
  dlg.m_hIcon = LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDR_MAINFRAME));
  dlg.DoModal();
}

class CProbeApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    const char* line = GetCommandLineA();
    const char* mode = std::strrchr(line, ' ');
    mode = mode ? mode + 1 : line;
    ShowError();
    if (std::strcmp(mode, "sequence") == 0) {
      CNoticeDlg notice;
      notice.m_strMessage = "Veltrane RAZ Plug-In 설치를 시작합니다.";
      notice.DoModal();
      notice.m_strMessage = "Veltrane RAZ Plug-In 설치를 완료하였습니다.";
      notice.DoModal();
    }
    return FALSE;
  }
};

CProbeApp theApp;

}  // namespace
