#include "WizardPageCommands.h"

#include "VeltraneGtcSetupDlg.h"

namespace wizard {

void MoveToNextPage(CVeltraneGtcSetupDlg* pWizard) { pWizard->Advance(); }

void CancelFromPage(CVeltraneGtcSetupDlg* pWizard) { pWizard->CancelWizard(); }

}  // namespace wizard
