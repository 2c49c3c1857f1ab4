// Texts the pages show where the text lookup yields only its bare keys:
// the wait-timer message, and a run with neither "/i" nor "/u" (the way the
// launcher starts the program), which asks for no work.
#pragma once
#include "afxwin.h"

namespace wizardtexts {

// The wizard's title with neither mode.
inline constexpr char kNoModeTitle[] = "Veltrane RAZ 설치 관리자";
// Welcome page with neither mode: heading and what to do instead.
inline constexpr char kNoModeWelcomeHeading[] = "요청된 작업이 없습니다";
inline constexpr char kNoModeWelcomeText[] =
    "설치 또는 제거가 요청되지 않아 이 마법사는 아무 작업도 하지 않습니다. "
    "설치하려면 설치 폴더에서 VeltraneGTC64.exe /i 를 실행하고, 제거하려면 "
    "제어판의 프로그램 제거에서 Veltrane RAZ 를 선택하십시오.";
// Progress page with neither mode.
inline constexpr char kNoModeStatusTitle[] = "작업 상태";
inline constexpr char kNoModeStatus[] = "요청된 작업이 없어 아무것도 하지 않습니다.";
inline constexpr char kNoModeElapsedCaption[] = "경과 시간 : ";
// Finish page with neither mode.
inline constexpr char kNoModeFinishHeading[] = "작업 없음";
inline constexpr char kNoModeFinishText[] = "컴퓨터에서 아무것도 변경하지 않았습니다.";

// Title of the wait-timer message box.
inline constexpr char kTimeoutTitle[] = "대기 시간 초과";
// The wait-timer message, naming the mode the wizard runs in.
CString TimeoutMessage(bool bInstall, bool bUninstall);

// Gives a page's label (hidden in the templates) a text and shows it.
void ShowLabel(CWnd* pPage, int nID, LPCSTR pszText);

}  // namespace wizardtexts
