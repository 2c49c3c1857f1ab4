// What the driver knows of the setup program's wizard, apart from the
// Win32 calls that look at it: which page is shown (told by a control only
// that page has, as a running program does not say which template made a
// child dialog), the frame's buttons, and the one-line report of a state
// that the driver prints and the tests read:
//
//   state page=107 name=licence buttons=Back,Cancel caption=<UTF-8 text>
//
// `page=0 name=none` when the wizard shows no page, `page=? name=unknown`
// for a page none of the signatures fits, `buttons=-` when no button is
// enabled. Portable code: tested on Linux.
#pragma once

#include <functional>
#include <string>

namespace driver {

// The frame's buttons (ui/resource.h; IDCANCEL is Windows' own).
constexpr int kBackId = 12323;
constexpr int kNextId = 12324;
constexpr int kFinishId = 12325;
constexpr int kCancelId = 2;

struct PageSignature {
  int templateId;    // the page's dialog template (ui/resource.h)
  const char* name;  // as the reports spell it
  int controlId;     // a control found on this page and no other
};

// The page whose signature control `hasControl` reports present, or null.
const PageSignature* IdentifyPage(const std::function<bool(int id)>& hasControl);

// The enabled buttons among Back, Next, Cancel, Finish, in that order,
// joined by commas; "-" when none is.
std::string EnabledButtons(const std::function<bool(int id)>& enabled);

struct WizardState {
  bool shown = false;        // a page is shown
  const PageSignature* page = nullptr;  // null: shown but unknown, or none
  std::string buttons = "-";
  std::string caption;       // UTF-8
};

std::string FormatState(const WizardState& state);

}  // namespace driver
