// Dialog templates of the desktop's own tests.
#pragma once
#include "dlgres.h"

constexpr UINT kProbeDialog = 9001;    // caption, text 100, OK and Cancel
constexpr UINT kProgressDialog = 9002; // progress bar 500, status 501
constexpr UINT kControlsDialog = 9003; // radio buttons, check box, edit
constexpr UINT kPictureDialog = 9004;  // an empty picture static at the top left
constexpr int kProbeText = 100;
constexpr int kProgressBar = 500;

void RegisterProbeTemplates();
