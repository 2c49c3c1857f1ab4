// Rules the pages share: artwork names by density, the "$$" line split.
#include <gtest/gtest.h>

#include "ArtworkImage.h"
#include "ElapsedTime.h"
#include "FinishOutcome.h"
#include "TextLines.h"
#include "WizardTexts.h"

namespace {

TEST(ArtworkNames, DensityTable) {
  struct { int dpi; bool banner; const char* expected; } rows[] = {
      {96, true, "D:\\setup\\vtxSet_kor.png"},
      {96, false, "D:\\setup\\Set1-1_kor.png"},
      {120, true, "D:\\setup\\vtxSet_DPI_120_kor.png"},
      {120, false, "D:\\setup\\Set1-1_kor.png"},
      {144, true, "D:\\setup\\vtxSet_DPI_144_kor.png"},
      {144, false, "D:\\setup\\Set1-1_DPI_144_kor.png"},
      {192, true, "D:\\setup\\vtxSet_DPI_192_kor.png"},
      {192, false, "D:\\setup\\Set1-1_DPI_192_kor.png"},
      {168, true, "D:\\setup\\_kor.png"},
      {108, false, "D:\\setup\\_kor.png"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dpi);
    EXPECT_STREQ(row.expected, artwork::FileName("D:\\setup\\", row.banner ? "vtxSet" : "Set1-1", row.dpi, row.banner));
  }
}

TEST(ArtworkNames, HeaderMargins) {
  EXPECT_EQ(4, artwork::HeaderMargin(96));
  EXPECT_EQ(5, artwork::HeaderMargin(120));
  EXPECT_EQ(6, artwork::HeaderMargin(144));
  EXPECT_EQ(6, artwork::HeaderMargin(192));
  EXPECT_EQ(4, artwork::HeaderMargin(168));
}

TEST(TextLines, SplitRule) {
  struct { const char* text; const char* first; const char* second; } rows[] = {
      {"$$first $$second.$$", "first ", "second."},
      {"$$abc$$xabcx$$", "abc", "xx"},   // the first line is cut from the second too
      {"no marker", "", ""},
      {"$$only one", "", ""},
      {"$$one$$", "one", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    CString text = row.text;
    EXPECT_STREQ(row.first, textlines::TakeLine(text));
    EXPECT_STREQ(row.second, textlines::TakeLine(text));
  }
}

TEST(ElapsedTime, TwoDigitMinutesAndSecondsWithTheirUnits) {
  const struct {
    int seconds;
    const char* text;
  } rows[] = {
      {0, "00분00초"}, {9, "00분09초"}, {10, "00분10초"}, {59, "00분59초"}, {60, "01분00초"},
      {75, "01분15초"}, {600, "10분00초"}, {5999, "99분59초"}, {6000, "100분00초"},
  };
  for (const auto& row : rows) {
    EXPECT_STREQ(row.text, (LPCSTR)ElapsedTimeText(row.seconds, "분", "초")) << row.seconds;
  }
  // Without units (a wait-timer limit of 0 leaves them empty) only the digits remain.
  EXPECT_STREQ("0203", (LPCSTR)ElapsedTimeText(123, "", ""));
}

// The wait-timer message names the mode the wizard runs in.
TEST(WizardTexts, TimeoutMessageNamesTheMode) {
  EXPECT_STREQ("작업 대기 시간이 초과되어 설치 마법사를 종료합니다.", wizardtexts::TimeoutMessage(true, false));
  EXPECT_STREQ("작업 대기 시간이 초과되어 제거 마법사를 종료합니다.", wizardtexts::TimeoutMessage(false, true));
  EXPECT_STREQ("작업 대기 시간이 초과되어 설치 마법사를 종료합니다.", wizardtexts::TimeoutMessage(true, true));
  EXPECT_STREQ("작업 대기 시간이 초과되어 마법사를 종료합니다.", wizardtexts::TimeoutMessage(false, false));
}

// The finish page never shows a run that did nothing as completed: a run
// whose work was skipped (cancelled before it began) shows as cancelled.
TEST(FinishOutcome, PictureAndTitleByHowTheRunEnded) {
  struct {
    const char* name;
    finishoutcome::Run run;
    const char* page;   // nullptr: no page picture
    const char* title;  // nullptr: the mode's completion title
    bool fromSource;
  } rows[] = {
      {"install completed", {true, false, false, false, false, false}, "Set5-1", nullptr, false},
      {"install rolled back", {true, false, true, false, false, false}, "Un4-1", "%s 설치 취소 완료", true},
      {"install skipped", {true, false, false, false, true, false}, "Un4-1", "%s 설치 취소 완료", true},
      {"install, configuration unread", {true, false, false, true, false, false}, "Un4-1", "%s 설치 취소 완료", true},
      {"uninstall completed", {false, true, false, false, false, false}, "Un3-1", nullptr, false},
      {"uninstall skipped", {false, true, false, false, true, false}, nullptr, "%s 제거 취소", false},
      {"uninstall, configuration unread", {false, true, false, true, false, false}, nullptr, "%s 제거", false},
      {"uninstall stopped by a failure", {false, true, false, false, false, true}, nullptr, "%s 제거 실패", false},
      {"both flags, skipped", {true, true, false, false, true, false}, nullptr, "%s 설치 취소 완료", true},
      {"neither mode", {false, false, false, false, false, false}, nullptr, nullptr, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const char* page = finishoutcome::PageBase(row.run);
    if (row.page) EXPECT_STREQ(row.page, page);
    else EXPECT_EQ(nullptr, page);
    bool fromSource = !row.fromSource;
    const char* title = finishoutcome::TitleOverride(row.run, &fromSource);
    if (row.title) {
      EXPECT_STREQ(row.title, title);
      EXPECT_EQ(row.fromSource, fromSource);
    } else {
      EXPECT_EQ(nullptr, title);
    }
  }
}

}  // namespace
