#include "wizard_model.h"

#include <utility>

namespace driver {
namespace {

// The reboot check box (welcome), the accept radio button (licence), the
// progress bar (progress) and the failed-restart label (finish).
const PageSignature kPages[] = {
    {104, "welcome", 1094},
    {107, "licence", 1034},
    {115, "progress", 1006},
    {129, "finish", 1103},
};

}  // namespace

const PageSignature* IdentifyPage(const std::function<bool(int id)>& hasControl) {
  for (const PageSignature& page : kPages) {
    if (hasControl(page.controlId)) return &page;
  }
  return nullptr;
}

std::string EnabledButtons(const std::function<bool(int id)>& enabled) {
  std::string out;
  for (const auto& [id, name] : {std::pair{kBackId, "Back"}, {kNextId, "Next"}, {kCancelId, "Cancel"},
                                  {kFinishId, "Finish"}}) {
    if (!enabled(id)) continue;
    if (!out.empty()) out += ',';
    out += name;
  }
  return out.empty() ? "-" : out;
}

std::string FormatState(const WizardState& state) {
  std::string page = "page=0 name=none";
  if (state.shown) {
    page = state.page ? "page=" + std::to_string(state.page->templateId) + " name=" + state.page->name
                      : "page=? name=unknown";
  }
  return "state " + page + " buttons=" + state.buttons + " caption=" + state.caption;
}

}  // namespace driver
