// What the driver says about the wizard: the page told by its signature
// control, the enabled buttons in their fixed order, the report line.
#include <gtest/gtest.h>

#include <set>

#include "wizard_model.h"

namespace driver {
namespace {

TEST(WizardModel, IdentifiesEachPageByItsControl) {
  struct {
    std::set<int> controls;
    int page;  // 0: none identified
  } rows[] = {
      {{1016, 1017, 1010, 1011, 1094}, 104},  // welcome: the reboot check box
      {{1034, 1035, 1033, 1111, 1021}, 107},  // licence: the accept radio button
      {{1021, 1016, 1058, 1006, 1077}, 115},  // progress: the bar
      {{1016, 1017, 1082, 1103, 1010}, 129},  // finish: the restart label
      {{1016, 1017, 1010}, 0},
      {{}, 0},
  };
  for (const auto& row : rows) {
    const PageSignature* page = IdentifyPage([&](int id) { return row.controls.count(id) > 0; });
    EXPECT_EQ(row.page, page ? page->templateId : 0) << row.page;
  }
}

TEST(WizardModel, EnabledButtonsInFrameOrder) {
  struct {
    std::set<int> enabled;
    const char* text;
  } rows[] = {
      {{kNextId, kCancelId}, "Next,Cancel"},
      {{kCancelId, kBackId}, "Back,Cancel"},
      {{kFinishId, kNextId, kBackId, kCancelId}, "Back,Next,Cancel,Finish"},
      {{kFinishId}, "Finish"},
      {{}, "-"},
      {{1, 1034}, "-"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.text, EnabledButtons([&](int id) { return row.enabled.count(id) > 0; }));
  }
}

TEST(WizardModel, StateLine) {
  static const PageSignature licence = {107, "licence", 1034};
  WizardState state;
  EXPECT_EQ("state page=0 name=none buttons=- caption=", FormatState(state));
  state.shown = true;
  state.caption = "Veltrane RAZ 설치";
  EXPECT_EQ("state page=? name=unknown buttons=- caption=Veltrane RAZ 설치", FormatState(state));
  state.page = &licence;
  state.buttons = "Back,Cancel";
  EXPECT_EQ("state page=107 name=licence buttons=Back,Cancel caption=Veltrane RAZ 설치", FormatState(state));
}

}  // namespace
}  // namespace driver
