# The wizard frame, its pages (the progress page's window side is built with
# the engine, which owns that class) and the page artwork.
add_library(setup_ui STATIC
  NewWizPage.cpp
  NewWizDialog.cpp
  VeltraneGtcSetupDlg.cpp
  WelComeDlg.cpp
  LicenseDlg.cpp
  Finish2Dlg.cpp
  ArtworkImage.cpp
  TextLines.cpp
  ElapsedTime.cpp
  WizardTexts.cpp
  FinishOutcome.cpp
)
target_include_directories(setup_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(setup_ui PUBLIC afx setup_core ui_dialogs)
winsim_windows_code(setup_ui)
winsim_cp949(setup_ui)

if(WIN32)
  return()
endif()

add_executable(test_ui_rules tests/test_page_rules.cpp)
target_link_libraries(test_ui_rules PRIVATE setup_ui)
winsim_cp949(test_ui_rules)
winsim_test(test_ui_rules)
