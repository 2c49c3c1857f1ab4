#include "probe_templates.h"

namespace {

const DLGITEM_RES kProbeItems[] = {
    RC_LTEXT("Probe text", kProbeText, 7, 7, 150, 20, 0, 0),
    RC_DEFPUSHBUTTON("OK", IDOK, 40, 70, 50, 14, 0, 0),
    RC_PUSHBUTTON("Cancel", IDCANCEL, 110, 70, 50, 14, 0, 0),
};
const DLGTEMPLATE_RES kProbe = {kProbeDialog, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0,
                                0, 0, 200, 100, "Probe", 8, "MS Shell Dlg", kProbeItems, RC_ARRAYSIZE(kProbeItems)};

const DLGITEM_RES kProgressItems[] = {
    RC_CONTROL("", kProgressBar, "msctls_progress32", WS_BORDER | WS_VISIBLE, 10, 10, 180, 14, 0),
    RC_LTEXT("", 501, 10, 30, 180, 8, 0, 0),
};
const DLGTEMPLATE_RES kProgress = {kProgressDialog, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
                                   0, 0, 200, 60, "Progress", 9, "MS Shell Dlg", kProgressItems,
                                   RC_ARRAYSIZE(kProgressItems)};

const DLGITEM_RES kControlsItems[] = {
    RC_CONTROL("A", 601, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP | WS_VISIBLE, 10, 10, 60, 10, 0),
    RC_CONTROL("B", 602, "Button", BS_AUTORADIOBUTTON | WS_VISIBLE, 10, 22, 60, 10, 0),
    RC_CONTROL("C", 603, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE, 10, 34, 60, 10, 0),
    RC_CONTROL("Check", 604, "Button", BS_AUTOCHECKBOX | WS_GROUP | WS_VISIBLE, 10, 46, 60, 10, 0),
    RC_CONTROL("Off", 605, "Button", BS_PUSHBUTTON | WS_DISABLED | WS_VISIBLE, 10, 58, 60, 14, 0),
    RC_EDITTEXT(606, 80, 10, 100, 40, ES_MULTILINE | ES_READONLY, 0, WS_EX_CLIENTEDGE),
};
const DLGTEMPLATE_RES kControls = {kControlsDialog, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
                                   0, 0, 200, 80, "Controls", 8, "MS Shell Dlg", kControlsItems,
                                   RC_ARRAYSIZE(kControlsItems)};

// A picture static without a picture over the top-left corner, where the
// picture tests draw.
const DLGITEM_RES kPictureItems[] = {
    RC_CONTROL("", -1, "Static", SS_BITMAP | WS_VISIBLE, 0, 0, 60, 12, 0),
};
const DLGTEMPLATE_RES kPicture = {kPictureDialog, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0,
                                  0, 0, 200, 60, "Pictures", 8, "MS Shell Dlg", kPictureItems,
                                  RC_ARRAYSIZE(kPictureItems)};

}  // namespace

void RegisterProbeTemplates() {
  AfxRegisterDialogTemplate(&kPicture);
  AfxRegisterDialogTemplate(&kProbe);
  AfxRegisterDialogTemplate(&kProgress);
  AfxRegisterDialogTemplate(&kControls);
}
