// Dialog templates of the desktop's own tests, from probe_templates.rc.
#pragma once
#include "probe_ids.h"
#include "windows.h"

constexpr UINT kProbeDialog = IDD_PROBE;
constexpr UINT kProgressDialog = IDD_PROGRESS;
constexpr UINT kControlsDialog = IDD_CONTROLS;
constexpr UINT kPictureDialog = IDD_PICTURE;
constexpr int kProbeText = IDC_PROBE_TEXT;
constexpr int kProgressBar = IDC_PROGRESS_BAR;
