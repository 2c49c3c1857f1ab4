// The base of every wizard page: a child dialog that the frame creates the
// first time it shows the page, with hooks the frame calls around moves.
#pragma once
#include "afxwin.h"

class CNewWizDialog;

class CNewWizPage : public CDialog {
 public:
  CNewWizPage();
  explicit CNewWizPage(UINT nIDTemplate, CWnd* pParent = nullptr);
  ~CNewWizPage() override;

  // Hooks, in slot order.
  virtual BOOL OnCreatePage();       // after the window was first created; FALSE aborts
  virtual void OnDestroyPage();      // before the window is destroyed
  virtual BOOL OnKillActive();       // the page is about to be left; FALSE keeps it
  virtual void OnSetActive();        // the page has just been shown
  virtual BOOL OnQueryCancel();      // may the wizard be cancelled
  virtual LRESULT OnWizardBack();    // 0 previous page, -1 stay, else the template id to go to
  virtual LRESULT OnWizardNext();    // same convention
  virtual BOOL OnWizardFinish();     // FALSE keeps the wizard open

  CFont m_LargeFont;                    // title font, made at initialisation
  CNewWizDialog* m_pParent = nullptr;   // the frame that created the window
  BOOL m_bCreated = FALSE;
  BOOL m_bActive = FALSE;
  UINT m_nDialogID = 0;                 // template the window is created from

 protected:
  BOOL OnInitDialog() override;
  // A page is a child of the frame: the dialog's own OK and Cancel (Enter
  // and Escape) never end or hide it, they do what the frame's buttons do.
  void OnOK() override;
  void OnCancel() override;
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};
