// What the wizard shows, read from the scripted user's screenshots: the
// artwork of the machine's density at its own pixel size, the buttons each
// page leaves enabled, the licence gate, the progress bar's end and the
// elapsed time.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "setup_run.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace {

// One line of a screenshot's control description.
struct Control {
  int depth = 0;  // 0: a control of the wizard frame; 1: of a page
  std::string kind;
  int id = 0;
  bool visible = false;
  bool enabled = false;
  int rangeMax = -1;
  int pos = -1;
  int templateId = 0;
  QRect rect;  // where the control lies in the screenshot
  std::string text;
};

struct Shot {
  QImage image;
  std::vector<Control> controls;

  const Control* Frame(int id) const {
    for (const auto& c : controls)
      if (c.depth == 0 && c.id == id) return &c;
    return nullptr;
  }
  // A control of the page shown (or, with `kind`, the first of that kind
  // on any page, shown or not).
  const Control* Page(int id, const std::string& kind = "") const {
    for (const auto& c : controls)
      if (c.depth == 1 && c.id == id && (kind.empty() ? c.visible : c.kind == kind)) return &c;
    return nullptr;
  }
};

Shot ReadShot(const std::string& path) {
  Shot shot;
  shot.image = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
  std::istringstream in(shot.image.text("Controls").toStdString());
  std::string line;
  const std::regex field(R"((\w+)=(\S*))");
  while (std::getline(in, line)) {
    Control c;
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    c.depth = static_cast<int>(start / 2);
    const size_t textAt = line.find(" text=");
    c.text = textAt == std::string::npos ? "" : line.substr(textAt + 6);
    const std::string head = line.substr(start, textAt - start);
    c.kind = head.substr(0, head.find(' '));
    for (std::sregex_iterator it(head.begin(), head.end(), field), end; it != end; ++it) {
      const std::string name = (*it)[1], value = (*it)[2];
      if (name == "id") c.id = std::stoi(value);
      if (name == "visible") c.visible = value == "1";
      if (name == "enabled") c.enabled = value == "1";
      if (name == "pos") c.pos = std::stoi(value);
      if (name == "range") c.rangeMax = std::stoi(value.substr(value.find("..") + 2));
      if (name == "template") c.templateId = std::stoi(value);
      if (name == "rect") {
        int x = 0, y = 0, w = 0, h = 0;
        if (std::sscanf(value.c_str(), "%d,%d,%d,%d", &x, &y, &w, &h) == 4) c.rect = QRect(x, y, w, h);
      }
    }
    shot.controls.push_back(c);
  }
  return shot;
}

// True when the picture appears in the screenshot at its own pixel size
// with its top within a few pixels of the page's top. A page's frame lines
// and the window's lower edge may cover the picture's edges, so a band of
// four pixels, rows below `maxRows` and what falls outside the screenshot
// are not compared.
bool ShowsAtOwnSize(const QImage& shot, const std::string& picturePath, int maxRows = 300) {
  const QImage art = QImage(QString::fromStdString(picturePath)).convertToFormat(QImage::Format_RGB32);
  if (art.isNull() || shot.isNull()) return false;
  auto same = [&](int x0, int y0, int x, int y) { return art.pixel(x, y) == shot.pixel(x0 + x, y0 + y); };
  for (int y0 = 0; y0 <= 12; ++y0) {
    const int rows = std::min({art.height() - 4, maxRows, shot.height() - y0});
    for (int x0 = 0; x0 + 44 <= shot.width(); ++x0) {
      const int cols = std::min(art.width() - 4, shot.width() - x0);
      if (rows <= 40 || cols <= 40) continue;
      // A grid of samples first, then every pixel.
      bool match = true;
      for (int i = 0; match && i < 8; ++i)
        for (int j = 0; match && j < 8; ++j) match = same(x0, y0, 4 + (cols - 5) * i / 7, 4 + (rows - 5) * j / 7);
      for (int y = 4; match && y < rows; ++y)
        for (int x = 4; match && x < cols; ++x) match = same(x0, y0, x, y);
      if (match) return true;
    }
  }
  return false;
}

// The wizard's buttons that are enabled, in the order Back, Next, Cancel, Finish.
std::string EnabledButtons(const Shot& shot) {
  std::string out;
  for (const auto& [id, name] : {std::pair{12323, "Back"}, {12324, "Next"}, {2, "Cancel"}, {12325, "Finish"}}) {
    const Control* c = shot.Frame(id);
    if (c && c->enabled) out += std::string(out.empty() ? "" : " ") + name;
  }
  return out;
}

int Seconds(const std::string& elapsed) {
  std::smatch m;
  if (!std::regex_match(elapsed, m, std::regex("(\\d\\d)분(\\d\\d)초"))) return -1;
  return std::stoi(m[1]) * 60 + std::stoi(m[2]);
}

TEST(WizardScreens, InstallAtDensity144) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "144", nullptr));
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"wait 12324", "shot " + dir + "/welcome.png", "click 12324", "shot " + dir + "/licence.png",
                              "click 1034", "shot " + dir + "/accepted.png", "click 12324",
                              "shot " + dir + "/progress-start.png", "sleep 1500", "shot " + dir + "/progress.png",
                              "wait 12325", "shot " + dir + "/finish.png", "click 12325"}));
  const std::string art = setup.source + "/";

  const Shot welcome = ReadShot(dir + "/welcome.png");
  EXPECT_TRUE(ShowsAtOwnSize(welcome.image, art + "vtxSet_DPI_144_kor.png"));
  EXPECT_TRUE(ShowsAtOwnSize(welcome.image, art + "Set1-1_DPI_144_kor.png"));
  EXPECT_FALSE(ShowsAtOwnSize(welcome.image, art + "vtxSet_kor.png"));
  EXPECT_EQ("Next Cancel", EnabledButtons(welcome));

  // The licence page: Next waits for the acceptance.
  const Shot licence = ReadShot(dir + "/licence.png");
  EXPECT_EQ("Back Cancel", EnabledButtons(licence));
  ASSERT_NE(nullptr, licence.Page(1033));
  EXPECT_NE(std::string::npos, licence.Page(1033)->text.find("Bramble Cast Inc."));
  EXPECT_EQ("Back Next Cancel", EnabledButtons(ReadShot(dir + "/accepted.png")));

  // The progress page: every button locked, the elapsed time from 00:00.
  const Shot start = ReadShot(dir + "/progress-start.png");
  ASSERT_NE(nullptr, start.Page(1077));
  const int startSeconds = Seconds(start.Page(1077)->text);
  EXPECT_GE(startSeconds, 0) << start.Page(1077)->text;
  EXPECT_LE(startSeconds, 1) << start.Page(1077)->text;
  const Shot progress = ReadShot(dir + "/progress.png");
  EXPECT_EQ("", EnabledButtons(progress));
  ASSERT_NE(nullptr, progress.Page(1078));
  EXPECT_EQ("설치 시간 :  ", progress.Page(1078)->text);
  EXPECT_TRUE(ShowsAtOwnSize(progress.image, art + "vtxSetUP_DPI_144_kor.png", 70));

  // The finish page: only Finish; the progress page, now hidden, shows the
  // bar filled in steps of 5 to its last value not above 240.
  const Shot finish = ReadShot(dir + "/finish.png");
  EXPECT_EQ("Finish", EnabledButtons(finish));
  EXPECT_TRUE(ShowsAtOwnSize(finish.image, art + "Set5-1_DPI_144_kor.png"));
  const Control* bar = finish.Page(1006, "progress");
  ASSERT_NE(nullptr, bar);
  EXPECT_EQ(240, bar->rangeMax);
  EXPECT_GT(bar->pos, 235);
  EXPECT_LE(bar->pos, 240);
  const Control* elapsed = finish.Page(1077, "static");
  ASSERT_NE(nullptr, elapsed);
  EXPECT_GE(Seconds(elapsed->text), startSeconds + 1) << elapsed->text;

  EXPECT_EQ("1", e2e::IniValue("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", "Root",
                               "InstallSuccess"));
}

TEST(WizardScreens, Density168ShowsNoArtworkAndNoError) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "168", nullptr));
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"wait 12324", "shot " + dir + "/welcome.png", "click 12324", "click 1034",
                              "click 12324", "wait 12325", "shot " + dir + "/finish.png", "click 12325"}));
  const std::string art = setup.source + "/";
  for (const char* page : {"welcome", "finish"}) {
    const Shot shot = ReadShot(dir + "/" + page + ".png");
    ASSERT_FALSE(shot.image.isNull()) << page;
    for (const char* suffix : {"_kor.png", "_DPI_144_kor.png", "_DPI_192_kor.png"}) {
      EXPECT_FALSE(ShowsAtOwnSize(shot.image, art + "vtxSet" + suffix)) << page << suffix;
    }
  }
  // No window but the wizard on the way, and the install went through.
  std::istringstream events(winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log"));
  int shown = 0;
  for (std::string line; std::getline(events, line);) {
    if (line.find("\"event\":\"show\"") == std::string::npos) continue;
    ++shown;
    EXPECT_NE(std::string::npos, line.find("\"template\":102")) << line;
  }
  EXPECT_EQ(1, shown);
  EXPECT_EQ("1", e2e::IniValue("C:\\Windows\\Bramblecast\\Veltrane RAZ\\VeltraneGTCSetup.ini", "Root",
                               "InstallSuccess"));
}

// ForceReboot 1 without the shutdown privilege: no restart, and the finish
// page says that one is needed.
TEST(WizardScreens, RestartRefusedShowsTheRestartLabel) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
  ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", "0", nullptr));
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "click 1034", "click 12324", "wait 12325", "shot " + dir + "/finish.png",
                              "click 12325"}));
  const Shot finish = ReadShot(dir + "/finish.png");
  EXPECT_EQ("Finish", EnabledButtons(finish));
  const Control* label = finish.Page(1103);
  ASSERT_NE(nullptr, label) << "the restart label is shown";
  EXPECT_NE(std::string::npos, label->text.find("재부팅을 해야만")) << label->text;
  EXPECT_EQ("", winsim::testing::ReadHostFile(winsim::JournalDir() + "/shutdown.log"));
}

// --- The wizard as a user meets it -------------------------------------------

// The page dialog made from a template, as the screenshot lists it.
const Control* PageDialog(const Shot& shot, int templateId) {
  for (const auto& c : shot.controls)
    if (c.depth == 0 && c.kind == "dialog" && c.templateId == templateId) return &c;
  return nullptr;
}

// Escape and Enter on the progress page are refused or do nothing, and the
// clock goes on; once the work has ended the clock stops, so the wait-timer
// limit cannot end the wizard from the finish page.
TEST(WizardScreens, ClockRunsThroughRefusedKeysAndStopsWhenTheWorkEnds) {
  const e2e::Setup setup = e2e::FreshSetup();
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "click 1034", "click 12324", "wait 1006", "key Escape", "key Enter",
                              "sleep 2500", "shot " + dir + "/progress.png", "wait 12325",
                              "shot " + dir + "/finish-1.png", "sleep 2200", "shot " + dir + "/finish-2.png",
                              "click 12325"}));
  // The refusal is logged: the key reached the page.
  EXPECT_TRUE(e2e::LogHas(winsim::Utf8ToAnsi("설치를 취소 하시겠습니까?")));
  const Shot progress = ReadShot(dir + "/progress.png");
  const Control* running = progress.Page(1077, "static");
  ASSERT_NE(nullptr, running);
  EXPECT_GE(Seconds(running->text), 2) << running->text;

  const Shot finish1 = ReadShot(dir + "/finish-1.png"), finish2 = ReadShot(dir + "/finish-2.png");
  const Control* first = finish1.Page(1077, "static");
  const Control* later = finish2.Page(1077, "static");
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, later);
  EXPECT_GE(Seconds(first->text), Seconds(running->text));
  EXPECT_EQ(first->text, later->text) << "the clock still runs on the finish page";
}

// Without any key pressed: once the work has ended the clock stands still
// on the finish page, and with it the wait-timer limit.
TEST(WizardScreens, ClockStopsWhenTheWorkEnds) {
  const e2e::Setup setup = e2e::FreshSetup();
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "click 1034", "click 12324", "wait 12325", "shot " + dir + "/finish-1.png",
                              "sleep 2200", "shot " + dir + "/finish-2.png", "click 12325"}));
  const Shot finish1 = ReadShot(dir + "/finish-1.png"), finish2 = ReadShot(dir + "/finish-2.png");
  const Control* first = finish1.Page(1077, "static");
  const Control* later = finish2.Page(1077, "static");
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, later);
  EXPECT_GE(Seconds(first->text), 2) << first->text;
  EXPECT_EQ(first->text, later->text) << "the clock still runs on the finish page";
}

// The finish page has no Cancel or OK of its own: Escape leaves it on
// screen, Enter presses Finish.
TEST(WizardScreens, EscapeKeepsTheFinishPageAndEnterFinishes) {
  const e2e::Setup setup = e2e::FreshSetup();
  const std::string dir = winsim::testing::TempHostDir();
  // Exit code 0: the script ends with the wizard closed by Enter; a wizard
  // still open would wait for a user the script no longer has.
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "click 1034", "click 12324", "wait 12325", "key Escape",
                              "shot " + dir + "/after-escape.png", "key Enter"}));
  const Shot shot = ReadShot(dir + "/after-escape.png");
  const Control* finish = PageDialog(shot, 129);
  ASSERT_NE(nullptr, finish);
  EXPECT_TRUE(finish->visible) << "Escape hid the finish page";
  EXPECT_EQ("Finish", EnabledButtons(shot));
  const std::string events = winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log");
  EXPECT_NE(std::string::npos, events.find("\"result\":12325")) << events;
}

// The launcher starts the program with no arguments: its pages say that no
// work was asked for, in Korean, and no page shows a bare text key.
TEST(WizardScreens, LauncherRunShowsWhatItDoesInsteadOfTextKeys) {
  const e2e::Setup setup = e2e::FreshSetup();
  const std::string dir = winsim::testing::TempHostDir();
  const std::string script = dir + "/user.script";
  std::ofstream(script) << "wait 12324\nshot " << dir << "/welcome.png\nclick 12324\nwait 12325\nshot " << dir
                        << "/finish.png\nclick 12325\n";
  setenv("WINSIM_USER", script.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ASSERT_EQ(0, std::system(("cd '" + setup.source + "' && timeout 120 ./VeltraneGtcLauncher.exe").c_str()));
  unsetenv("WINSIM_USER");

  const Shot welcome = ReadShot(dir + "/welcome.png");
  const Control* heading = welcome.Page(1016);
  ASSERT_NE(nullptr, heading);
  EXPECT_EQ("요청된 작업이 없습니다", heading->text);
  const Control* text = welcome.Page(1017);
  ASSERT_NE(nullptr, text);
  EXPECT_NE(std::string::npos, text->text.find("/i")) << text->text;
  EXPECT_NE(std::string::npos, text->text.find("프로그램 제거")) << text->text;

  const Shot finish = ReadShot(dir + "/finish.png");
  ASSERT_NE(nullptr, finish.Page(1017));
  EXPECT_EQ("컴퓨터에서 아무것도 변경하지 않았습니다.", finish.Page(1017)->text);
  const Control* status = finish.Page(1058, "static");
  ASSERT_NE(nullptr, status);
  EXPECT_EQ("요청된 작업이 없어 아무것도 하지 않습니다.", status->text);
  const Control* caption = finish.Page(1078, "static");
  ASSERT_NE(nullptr, caption);
  EXPECT_EQ("경과 시간 :  ", caption->text);

  // No control and no window title ever shows a bare number.
  const std::regex bare("\\d+");
  for (const Shot* shot : {&welcome, &finish})
    for (const Control& c : shot->controls) EXPECT_FALSE(std::regex_match(c.text, bare)) << c.id << " " << c.text;
  std::istringstream events(winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log"));
  int captions = 0;
  for (std::string line; std::getline(events, line);) {
    if (line.find("\"caption\":\"") == std::string::npos) continue;
    ++captions;
    EXPECT_EQ(std::string::npos, line.find("\"caption\":\"0\"")) << line;
    EXPECT_EQ(std::string::npos, line.find("\"caption\":\"20\"")) << line;
    EXPECT_EQ(std::string::npos, line.find("\"caption\":\"50\"")) << line;
  }
  EXPECT_GT(captions, 2);
  // The artwork stays unloaded in this mode: the page shows no picture.
  EXPECT_FALSE(ShowsAtOwnSize(welcome.image, setup.source + "/vtxSet_kor.png"));
}

// With a forced restart that fails, the finish page shows its restart label
// over the finish picture: at every density the label lies on the
// picture's empty background, so none of the picture's text is covered.
TEST(WizardScreens, RestartLabelCoversNoTextOfTheFinishPicture) {
  const struct { const char* dpi; const char* banner; const char* page; } densities[] = {
      {"96", "", ""}, {"120", "_DPI_120", ""}, {"144", "_DPI_144", "_DPI_144"}, {"192", "_DPI_192", "_DPI_192"}};
  for (const auto& d : densities) {
    SCOPED_TRACE(d.dpi);
    const e2e::Setup setup = e2e::FreshSetup();
    ASSERT_TRUE(e2e::ShippedConfigForcesRestart(setup));
    ASSERT_TRUE(winsim::SetConfigValue("shutdown_privilege", "0", nullptr));
    ASSERT_TRUE(winsim::SetConfigValue("dpi", d.dpi, nullptr));
    const std::string dir = winsim::testing::TempHostDir();
    ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                               {"click 12324", "click 1034", "click 12324", "wait 12325",
                                "shot " + dir + "/finish.png", "click 12325"}));
    const Shot shot = ReadShot(dir + "/finish.png");
    const Control* label = shot.Page(1103);
    const Control* page = PageDialog(shot, 129);
    ASSERT_NE(nullptr, label);
    ASSERT_NE(nullptr, page);
    ASSERT_FALSE(label->rect.isEmpty());
    const QImage banner(QString::fromStdString(setup.source + "/vtxSet" + d.banner + "_kor.png"));
    const QImage picture =
        QImage(QString::fromStdString(setup.source + "/Set5-1" + d.page + "_kor.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(banner.isNull());
    ASSERT_FALSE(picture.isNull());
    // The picture as the page draws it, in screenshot pixels.
    const QRect drawn(page->rect.topLeft() + QPoint(banner.width() + 1, 1), picture.size());
    const QRect covered = label->rect.intersected(drawn);
    ASSERT_FALSE(covered.isEmpty()) << "the label lies over the picture";
    int inked = 0;
    for (int y = covered.top(); y <= covered.bottom(); ++y)
      for (int x = covered.left(); x <= covered.right(); ++x)
        if (picture.pixel(x - drawn.left(), y - drawn.top()) != qRgb(255, 255, 255)) ++inked;
    EXPECT_EQ(0, inked) << "picture pixels under the label's white box";
    // The label's own text shows.
    int dark = 0;
    for (int y = label->rect.top(); y <= label->rect.bottom(); ++y)
      for (int x = label->rect.left(); x <= label->rect.right(); ++x)
        if (qGray(shot.image.pixel(x, y)) < 100) ++dark;
    EXPECT_GT(dark, 50);
  }
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "96", nullptr));
}

// The uninstall runs from the recovery folder: at 144 DPI its pages find
// their pictures there.
TEST(WizardScreens, UninstallAtDensity144ShowsItsArtwork) {
  const e2e::Setup setup = e2e::FreshSetup();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i /s"));
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "144", nullptr));
  const std::string dir = winsim::testing::TempHostDir();
  const std::string recovery = "C:\\Windows\\Bramblecast\\Veltrane RAZ";
  ASSERT_EQ(0, e2e::Run("\"" + recovery + "\\VeltraneGtcSetup.exe\" /u", recovery,
                        {"answer IDYES", "wait 12324", "shot " + dir + "/welcome.png", "click 12324", "wait 12325",
                         "shot " + dir + "/finish.png", "click 12325"}));
  const std::string art = e2e::HostPath(recovery) + "/";
  const Shot welcome = ReadShot(dir + "/welcome.png");
  EXPECT_TRUE(ShowsAtOwnSize(welcome.image, art + "vtxSet_DPI_144_kor.png"));
  EXPECT_TRUE(ShowsAtOwnSize(welcome.image, art + "Un1-1_DPI_144_kor.png"));
  EXPECT_TRUE(ShowsAtOwnSize(ReadShot(dir + "/finish.png").image, art + "Un3-1_DPI_144_kor.png"));
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "96", nullptr));
}

// A licence file whose reading ends before its measured length: the file
// error box, and an empty agreement rather than a part of the text.
TEST(WizardScreens, LicenceReadShortOfItsLengthShowsTheFileError) {
  // A kernel file that reports a page's length and holds a few bytes.
  const std::filesystem::path shortFile = "/sys/devices/system/cpu/online";
  std::error_code error;
  if (std::filesystem::file_size(shortFile, error) <= 64 || error) GTEST_SKIP() << "no short-reading file";
  const e2e::Setup setup = e2e::FreshSetup();
  const std::filesystem::path eula = setup.source + "/EULA_kor.txt";
  std::filesystem::remove(eula);
  std::filesystem::create_symlink(shortFile, eula);
  const std::string dir = winsim::testing::TempHostDir();
  ASSERT_EQ(0, e2e::RunSetup(setup, "/i",
                             {"click 12324", "answer IDOK", "wait 1034", "shot " + dir + "/licence.png", "click 2",
                              "answer IDYES"}));
  const Shot licence = ReadShot(dir + "/licence.png");
  const Control* agreement = licence.Page(1033);
  ASSERT_NE(nullptr, agreement);
  EXPECT_EQ("", agreement->text);
  std::istringstream events(winsim::testing::ReadHostFile(winsim::DesktopDir() + "/events.log"));
  int fileErrors = 0;
  for (std::string line; std::getline(events, line);)
    if (line.find("\"event\":\"show\"") != std::string::npos && line.find("EULA_kor.txt") != std::string::npos)
      ++fileErrors;
  EXPECT_EQ(1, fileErrors);
}

}  // namespace
