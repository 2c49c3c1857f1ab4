// The wizard frame: a modal dialog that owns Back, Next, Finish and Cancel
// and an ordered list of pages laid over its placeholder control.
#pragma once
#include "NewWizPage.h"
#include "afxwin.h"

class CNewWizDialog : public CDialog {
 public:
  explicit CNewWizDialog(UINT nIDTemplate, CWnd* pParent = nullptr);
  ~CNewWizDialog() override;

  // Appends a page made from the given template.
  void AddPage(CNewWizPage* pPage, UINT nID);
  int GetPageCount() const { return static_cast<int>(m_PageList.GetCount()); }
  CNewWizPage* GetPage(int nIndex) const;
  CNewWizPage* GetActivePage() const;

  // Makes the page current; FALSE when it could not be created or the
  // current page refused to be left.
  BOOL ActivatePage(CNewWizPage* pPage);
  // Goes to the page after the current one, or finishes when there is none.
  void Advance();
  // The finish routine: asks the pages, then ends with ID_WIZFINISH.
  void FinishWizard();
  // Asks every created page whether the wizard may be cancelled; ends the
  // dialog as cancelled when all agree. FALSE when one refused.
  BOOL CancelWizard();
  // What Enter does on any page: presses Next when it is enabled, else
  // Finish when it is enabled, else nothing. The press goes through the
  // frame's own command handling, so its switches apply.
  void PressDefaultButton();
  // What Escape does on a page without a cancel handling of its own: the
  // frame's Cancel when that button is enabled, else nothing.
  void PressCancelButton();

  void EnableBack(BOOL bEnable);
  void EnableNext(BOOL bEnable);
  void EnableFinish(BOOL bEnable);
  void EnableCancel(BOOL bEnable);

  CObList m_PageList;
  UINT m_nPlaceholderID = 0;

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  void SetFirstPage();
  // Leaves the current page; FALSE when it refused.
  BOOL DeactivatePage();
  int FindPageIndex(CNewWizPage* pPage) const;

  afx_msg void OnWizardBack();
  afx_msg void OnWizardNext();
  afx_msg void OnWizardFinish();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
