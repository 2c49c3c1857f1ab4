// What the wizard shows, read from the scripted user's screenshots: the
// artwork of the machine's density at its own pixel size, the buttons each
// page leaves enabled, the licence gate, the progress bar's end and the
// elapsed time.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "setup_run.h"
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

}  // namespace
