// The setup program's dialog resources: every dialog template, declared once
// as its resource script gives it, registered with the framework when the
// program starts. Korean texts are compiled in code page 949.
#include "afxwin.h"
#include "dlgres.h"
#include "resource.h"

namespace {

constexpr DWORD kHidden = WS_VISIBLE;  // "NOT WS_VISIBLE"
constexpr DWORD kPageStyle = DS_SETFONT | DS_CONTROL | WS_CHILD | WS_DISABLED;

// 102: the wizard window.
const DLGITEM_RES kWizardItems[] = {
    RC_PUSHBUTTON("< 이전", ID_WIZBACK, 117, 172, 50, 14, 0, 0),
    RC_PUSHBUTTON("다음 >", ID_WIZNEXT, 169, 172, 50, 14, 0, 0),
    RC_PUSHBUTTON("취소", IDCANCEL, 229, 172, 50, 14, 0, 0),
    RC_PUSHBUTTON("마침", ID_WIZFINISH, 286, 172, 50, 14, 0, 0),
    RC_DEFPUSHBUTTON("확인", IDOK, 0, 172, 50, 14, WS_DISABLED, kHidden),
    RC_CONTROL("", IDC_SHEETRECT, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 343, 170, 0),
};
const DLGTEMPLATE_RES kWizard = {IDD_VELTRANEGTCSETUP_DIALOG,
                                 DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_VISIBLE | WS_CAPTION,
                                 WS_EX_TOPMOST | WS_EX_APPWINDOW,
                                 0, 0, 343, 189,
                                 "VeltraneGtcSetup",
                                 9, "MS Shell Dlg",
                                 kWizardItems, RC_ARRAYSIZE(kWizardItems)};

// 104: the welcome page.
const DLGITEM_RES kWelcomeItems[] = {
    RC_LTEXT("Static", IDC_STATIC_1016, 123, 22, 212, 17, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1017, 123, 40, 210, 31, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1018, 123, 74, 210, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1019, 123, 86, 210, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1020, 123, 98, 210, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1021, 123, 110, 210, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1022, 123, 122, 210, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1023, 123, 134, 210, 8, 0, kHidden),
    RC_CONTROL("", -1, "Static", SS_BITMAP | WS_VISIBLE, 0, 0, 13, 14, 0),
    RC_CONTROL("", IDC_SHEETRECT, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 342, 195, 0),
    RC_CONTROL("", 1011, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 342, 195, 0),
    RC_PUSHBUTTON("Button1", IDOK, 3, 171, 50, 14, 0, kHidden),
    RC_CONTROL("Veltrane 설치완료시 자동으로 재부팅합니다.", IDC_CHECK_REBOOT, "Button",
               BS_AUTOCHECKBOX | WS_TABSTOP, 121, 153, 219, 11, 0),
};
const DLGTEMPLATE_RES kWelcome = {IDD_WELCOME, kPageStyle, 0, 0, 0, 343, 199, "", 9, "굴림",
                                  kWelcomeItems, RC_ARRAYSIZE(kWelcomeItems)};

// 107: the licence page.
const DLGITEM_RES kLicenseItems[] = {
    RC_CONTROL("사용권 계약의 조항에 동의합니다(&A)", IDC_RADIO_ACCEPT, "Button",
               BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 32, 157, 144, 10, 0),
    RC_CONTROL("사용권 계약의 조항에 동의하지 않습니다(&D)", IDC_RADIO_DECLINE, "Button",
               BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 32, 175, 171, 10, 0),
    RC_EDITTEXT(IDC_EDIT_AGREEMENT, 12, 47, 319, 102,
                ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN, WS_BORDER,
                WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT),
    RC_CONTROL("", -1, "Static", SS_BITMAP | WS_VISIBLE, 213, 0, 130, 35, 0),
    RC_CONTROL("", IDC_LICENSE_SEPARATOR, "Static", SS_BLACKFRAME | SS_SUNKEN | WS_VISIBLE, 0, 36, 343, 1, 0),
    RC_LTEXT("", IDC_STATIC_1021, 14, 13, 178, 8, 0, kHidden),
    RC_CONTROL("", IDC_SHEETRECT, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 342, 195, 0),
};
const DLGTEMPLATE_RES kLicense = {IDD_LICENSE, kPageStyle, 0, 0, 0, 343, 198, "", 9, "굴림",
                                  kLicenseItems, RC_ARRAYSIZE(kLicenseItems)};

// 115: the progress page.
const DLGITEM_RES kProgressItems[] = {
    RC_CONTROL("", -1, "Static", SS_BITMAP | WS_VISIBLE, 213, 0, 130, 35, 0),
    RC_CONTROL("", IDC_PROGRESS_SEPARATOR, "Static", SS_ETCHEDHORZ | WS_VISIBLE, 0, 36, 343, 1, 0),
    RC_LTEXT("Static", IDC_STATIC_1021, 14, 13, 178, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1016, 14, 42, 242, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1017, 14, 58, 322, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATIC_1082, 14, 70, 322, 8, 0, kHidden),
    RC_LTEXT("Static", IDC_STATUS, 14, 128, 259, 8, 0, 0),
    RC_CONTROL("", IDC_PROGRESS_BAR, "msctls_progress32", WS_BORDER | WS_VISIBLE, 14, 141, 322, 14, 0),
    RC_LTEXT("Static", IDC_ELAPSED_CAPTION, 14, 159, 50, 8, 0, 0),
    RC_LTEXT("Static", IDC_ELAPSED, 68, 159, 66, 8, 0, 0),
    RC_CONTROL("", IDC_SHEETRECT, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 342, 195, 0),
};
const DLGTEMPLATE_RES kProgress = {IDD_PROGRESS, kPageStyle, 0, 0, 0, 343, 200, "", 9, "굴림",
                                   kProgressItems, RC_ARRAYSIZE(kProgressItems)};

// 124: the error dialog.
const DLGITEM_RES kErrorItems[] = {
    RC_LTEXT("Static", IDC_ERROR_MESSAGE, 7, 7, 217, 34, 0, 0),
    RC_DEFPUSHBUTTON("OK", IDOK, 90, 47, 50, 14, 0, 0),
};
const DLGTEMPLATE_RES kError = {IDD_ERROR, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                                0, 0, 231, 68, "Dialog", 9, "굴림", kErrorItems, RC_ARRAYSIZE(kErrorItems)};

// 129: the finish page.
const DLGITEM_RES kFinishItems[] = {
    RC_CONTROL("", -1, "Static", SS_BITMAP | WS_VISIBLE, 1, 1, 108, 192, 0),
    RC_LTEXT("", IDC_STATIC_1016, 123, 22, 212, 17, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1017, 123, 40, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1082, 123, 51, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1018, 123, 75, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1019, 123, 87, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1020, 123, 125, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1021, 123, 137, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1022, 123, 149, 210, 8, 0, kHidden),
    RC_LTEXT("", IDC_STATIC_1023, 123, 161, 210, 8, 0, kHidden),
    RC_CONTROL("", IDC_SHEETRECT, "Static", SS_ETCHEDFRAME | WS_VISIBLE, 0, 0, 342, 195, 0),
    RC_LTEXT("시스템 재부팅을 실패하였습니다.재부팅을 해야만 Veltrane 을 정상적으로 사용하실 수 있습니다.",
             IDC_RESTART_LABEL, 117, 97, 216, 25, 0, kHidden),
};
const DLGTEMPLATE_RES kFinish = {IDD_FINISH, kPageStyle, 0, 0, 0, 343, 199, "", 9, "굴림",
                                 kFinishItems, RC_ARRAYSIZE(kFinishItems)};

// 130: the notice.
const DLGITEM_RES kNoticeItems[] = {
    RC_CTEXT("RAZ Plug-In 설치를 시작합니다.", IDC_NOTICE_TEXT, 0, 12, 170, 15, 0, 0),
};
const DLGTEMPLATE_RES kNotice = {IDD_NOTICE,
                                 DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                 WS_EX_TOPMOST,
                                 0, 0, 171, 39,
                                 "Veltrane RAZ",
                                 8, "MS Shell Dlg",
                                 kNoticeItems, RC_ARRAYSIZE(kNoticeItems)};

// Registered before main() runs, as the resources of a Windows program are
// there when it starts.
const bool kRegistered = [] {
  for (const DLGTEMPLATE_RES* t : {&kWizard, &kWelcome, &kLicense, &kProgress, &kError, &kFinish, &kNotice})
    AfxRegisterDialogTemplate(t);
  return true;
}();

}  // namespace

// Lets a program or test name the templates' object file, so that a linker
// never leaves it out.
bool UiTemplatesRegistered() { return kRegistered; }
