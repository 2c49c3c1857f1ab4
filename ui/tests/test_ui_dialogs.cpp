// The error and notice dialogs: placement, texts, self-closing notices,
// notice fonts by density, and the error dialog's size by density.
#include <cstdlib>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ErrorDlg.h"
#include "NoticeDlg.h"
#include "machine_fixture.h"
#include "resource.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace {

using winsim::testing::ReadHostFile;

// One journal line's member: a string (unescaped) or a number as text.
std::string Member(const std::string& line, const std::string& name) {
  std::string key = "\"" + name + "\":";
  size_t at = line.find(key);
  if (at == std::string::npos) return std::string();
  at += key.size();
  if (line[at] != '"') return line.substr(at, line.find_first_of(",}", at) - at);
  std::string value;
  for (size_t i = at + 1; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      ++i;
      value += line[i] == 'n' ? '\n' : line[i];
    } else {
      value += line[i];
    }
  }
  return value;
}

std::vector<std::string> Journal() {
  std::string text = ReadHostFile(winsim::DesktopDir() + "/events.log");
  std::vector<std::string> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// "2026-12-07T10:42:08.123" as milliseconds of the day.
long long TimeOfDayMs(const std::string& iso) {
  int h = 0, m = 0, s = 0, ms = 0;
  std::sscanf(iso.c_str() + 11, "%d:%d:%d.%d", &h, &m, &s, &ms);
  return ((h * 60LL + m) * 60 + s) * 1000 + ms;
}

std::string Utf8(const char* ansi) { return winsim::AnsiToUtf8(ansi); }

void SetDpi(const char* dpi) {
  std::string error;
  ASSERT_TRUE(winsim::SetConfigValue("dpi", dpi, &error)) << error;
}

// Runs the probe through CreateProcessA with a script for the scripted user.
DWORD RunProbe(const std::string& mode, const std::string& script) {
  std::string scriptPath = winsim::testing::TempHostDir() + "/user.txt";
  winsim::testing::WriteHostFile(scriptPath, script);
  std::string program = UI_DIALOGS_PROBE;
  std::string windowsPath = "Z:" + program;
  for (char& c : windowsPath)
    if (c == '/') c = '\\';
  std::string commandLine = "\"" + windowsPath + "\" " + mode;
  // The probe inherits this process's environment (sanitizer options
  // included) with the script of this run.
  setenv("WINSIM_USER", scriptPath.c_str(), 1);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, 90000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

void ClearJournal() {
  std::string dir = winsim::DesktopDir();
  winsim::testing::WriteHostFile(dir + "/events.log", "");
}

TEST(ErrorAndNotices, ScriptedRunShowsTheErrorDialogAndTwoSelfClosingNotices) {
  SetDpi("96");
  ClearJournal();
  ASSERT_EQ(RunProbe("sequence", "click 1\n"), 0u);
  std::vector<std::string> error, notices;
  std::vector<std::string> journal = Journal();
  for (const std::string& line : journal) {
    if (Member(line, "template") == "124") error.push_back(line);
    if (Member(line, "template") == "130") notices.push_back(line);
  }
  ASSERT_EQ(error.size(), 2u);  // show, close
  const std::string& shown = error[0];
  EXPECT_EQ(Member(shown, "event"), "show");
  EXPECT_EQ(Member(shown, "caption"), "Veltrane RAZ");
  EXPECT_EQ(Member(shown, "text"), Utf8("현재 설치/삭제가 진행중입니다, 10분 정도 후 재시도 하세요."));
  EXPECT_EQ(Member(shown, "topmost"), "true");
  int width = std::stoi(Member(shown, "width")), height = std::stoi(Member(shown, "height"));
  int screenWidth = std::stoi(Member(shown, "screen_width"));
  int screenHeight = std::stoi(Member(shown, "screen_height"));
  EXPECT_EQ(std::stoi(Member(shown, "x")), screenWidth / 2 - width / 2);
  EXPECT_EQ(std::stoi(Member(shown, "y")), screenHeight / 2 - height / 2);
  EXPECT_EQ(Member(error[1], "event"), "close");
  EXPECT_EQ(Member(error[1], "result"), "IDOK");

  ASSERT_EQ(notices.size(), 4u);  // show, close, show, close
  const char* texts[] = {"Veltrane RAZ Plug-In 설치를 시작합니다.", "Veltrane RAZ Plug-In 설치를 완료하였습니다."};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const std::string& show = notices[static_cast<size_t>(2 * i)];
    const std::string& close = notices[static_cast<size_t>(2 * i + 1)];
    EXPECT_EQ(Member(show, "event"), "show");
    EXPECT_EQ(Member(show, "caption"), "Veltrane RAZ");
    EXPECT_EQ(Member(show, "text"), Utf8(texts[i]));
    EXPECT_EQ(Member(show, "topmost"), "true");
    EXPECT_EQ(Member(close, "event"), "close");
    EXPECT_EQ(Member(close, "result"), "IDCANCEL");
    long long open = TimeOfDayMs(Member(close, "time")) - TimeOfDayMs(Member(show, "time"));
    EXPECT_GE(open, 1300);
    EXPECT_LE(open, 3000);
  }
  // Each showing writes its line to the install log.
  std::string log = ReadHostFile(winsim::DriveCRoot() + "/Windows/System32/VelGTCInstall.log");
  size_t count = 0;
  for (size_t at = log.find("NoticeDlg 실행"); at != std::string::npos; at = log.find("NoticeDlg 실행", at + 1)) ++count;
  EXPECT_EQ(count, 2u);
}

// Records the font the notice gave its text control.
class CFontProbe : public CNoticeDlg {
 public:
  LOGFONTA font{};

 protected:
  BOOL OnInitDialog() override {
    BOOL result = CNoticeDlg::OnInitDialog();
    std::memset(&font, 0xCC, sizeof font);
    GetObjectA(reinterpret_cast<HGDIOBJ>(m_staticText.SendMessage(WM_GETFONT)), sizeof font, &font);
    return result;
  }
};

TEST(ErrorAndNotices, NoticeFontFollowsTheDensityAndTheNoticeClosesItself) {
  const struct {
    const char* dpi;
    LONG height;
  } rows[] = {{"96", 13}, {"120", 15}, {"144", 19}, {"192", 24}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dpi);
    SetDpi(row.dpi);
    CFontProbe notice;
    notice.m_strMessage = "x";
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(notice.DoModal(), IDCANCEL);
    double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
    EXPECT_GE(seconds, 1.3);
    EXPECT_LE(seconds, 3.0);
    EXPECT_EQ(notice.font.lfHeight, row.height);
    EXPECT_EQ(notice.font.lfWidth, 0);
    EXPECT_EQ(notice.font.lfWeight, FW_NORMAL);
    EXPECT_EQ(notice.font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(notice.font.lfFaceName, "Tahoma");
  }
  SetDpi("96");
}

// Width and height of a PNG file from its header.
bool PngSize(const std::string& path, unsigned* width, unsigned* height) {
  std::string data = ReadHostFile(path);
  if (data.size() < 24 || data.compare(1, 3, "PNG") != 0) return false;
  auto be32 = [&](size_t at) {
    return (static_cast<unsigned>(static_cast<unsigned char>(data[at])) << 24) |
           (static_cast<unsigned>(static_cast<unsigned char>(data[at + 1])) << 16) |
           (static_cast<unsigned>(static_cast<unsigned char>(data[at + 2])) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(data[at + 3]));
  };
  *width = be32(16);
  *height = be32(20);
  return true;
}

TEST(ErrorAndNotices, ErrorDialogScalesWithTheDensity) {
  std::string dir = winsim::testing::TempHostDir();
  unsigned width[2] = {}, height[2] = {};
  const char* densities[] = {"96", "144"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(densities[i]);
    SetDpi(densities[i]);
    std::string shot = dir + "/error" + densities[i] + ".png";
    ASSERT_EQ(RunProbe("error", "shot " + shot + "\nclick 1\n"), 0u);
    ASSERT_TRUE(PngSize(shot, &width[i], &height[i]));
  }
  SetDpi("96");
  // 231 x 68 dialog units of "굴림" 9 pt: 6 x 12 base units at 96 dpi.
  EXPECT_EQ(width[0], 347u);
  EXPECT_EQ(height[0], 102u);
  EXPECT_NEAR(width[1], width[0] * 1.5, 3.0);
  EXPECT_NEAR(height[1], height[0] * 1.5, 3.0);
}

}  // namespace
