// The controller's page list and the layout of its settings.
#include <gtest/gtest.h>

#include "ProcessMain.h"
#include "machine_fixture.h"

namespace {

// The wizard dialog loads its icon through the application object.
CWinApp g_app;

TEST(Controller, EveryPageButTheWelcomePageKnowsItsPosition) {
  winsim::testing::FreshMachine();
  struct {
    int install;
    int uninstall;
    int licence;
    int progress;
    int finish;
  } rows[] = {
      {1, 0, 2, 3, 4},
      {0, 1, 0, 2, 3},
      {0, 0, 0, 2, 3},
      {1, 1, 2, 3, 4},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "install " << row.install << ", uninstall " << row.uninstall);
    CProcessMain controller;
    controller.m_bInstall = row.install;
    controller.m_bUninstall = row.uninstall;
    controller.BuildPageList();
    EXPECT_EQ(row.licence, controller.m_licensePage.m_nPagePosition);
    EXPECT_EQ(row.progress, controller.m_progressPage.m_nPagePosition);
    EXPECT_EQ(row.finish, controller.m_finishPage.m_nPagePosition);
    EXPECT_EQ(row.finish, controller.m_wizard.GetPageCount());
  }
}

TEST(Controller, SettingsLaidOutPathsFirstThenTheLimitAndTheFlags) {
  winsim::testing::FreshMachine();
  CProcessMain controller;
  const void* order[] = {
      &controller.m_progressPage,          &controller.m_strSourceCopyPath, &controller.m_strInstallFolder,
      &controller.m_strInstalledCopyPath,  &controller.m_strNoticeOptionPath, &controller.m_strSourceFolder,
      &controller.m_nWaitTimerLimit,       &controller.m_bSilent,           &controller.m_bInstall,
      &controller.m_bUninstall,            &controller.m_bReverted,
  };
  for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i) {
    EXPECT_LT(static_cast<const char*>(order[i - 1]), static_cast<const char*>(order[i])) << "setting " << i;
  }
  EXPECT_EQ(static_cast<void*>(&controller), static_cast<void*>(&controller.m_wizard)) << "the wizard comes first";
}

}  // namespace
