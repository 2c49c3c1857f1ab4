// Enter and Escape on a page, shared by the welcome and licence pages.
#pragma once

class CVeltraneGtcSetupDlg;

namespace wizard {

// Moves to the page after the active one, or finishes when there is none.
void MoveToNextPage(CVeltraneGtcSetupDlg* pWizard);
// Asks every created page whether the wizard may be cancelled and ends it
// as cancelled when all agree.
void CancelFromPage(CVeltraneGtcSetupDlg* pWizard);

}  // namespace wizard
