// Ids of the desktop tests' own dialogs (probe_templates.rc).
#pragma once

#define IDD_PROBE 9001     // caption, text 100, OK and Cancel
#define IDD_PROGRESS 9002  // progress bar 500, status 501
#define IDD_CONTROLS 9003  // radio buttons, check box, edit
#define IDD_PICTURE 9004   // an empty picture static at the top left
#define IDC_PROBE_TEXT 100
#define IDC_PROGRESS_BAR 500
#define IDC_PROGRESS_STATUS 501
