// The kill sweep: a silent install, and a silent uninstall, killed with
// SIGKILL at many points (at each child start, right after chosen log
// lines, and after chosen times). After each kill the registry database is
// whole, a following uninstall removes everything an install adds and
// leaves nothing an install or uninstall would not, and a following
// install installs exactly what an install on a fresh machine installs.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "kill_support.h"
#include "machine_fixture.h"
#include "machine_snapshot.h"
#include "setup_run.h"

namespace {

using reliability::Snapshot;

struct KillPoint {
  std::string name;
  bool uninstall = false;
  int childStart = 0;   // park at this child start, then kill
  std::string logLine;  // or kill once the install log holds this line
  int afterMs = -1;     // or kill after this many milliseconds
};

std::ostream& operator<<(std::ostream& os, const KillPoint& p) { return os << p.name; }

// What a fresh machine, an installed one and an installed-then-uninstalled
// one hold. Computed on a machine of their own, once for all the points:
// each point runs as a process of its own, so the first keeps them in a
// file beside the setup program, valid while that program is unchanged.
struct References {
  Snapshot fresh, installed, uninstalled;
};

std::string Serialize(const References& r) {
  std::string out;
  for (const Snapshot* s : {&r.fresh, &r.installed, &r.uninstalled}) {
    for (const auto& line : *s) out += line + "\n";
    out += "--\n";
  }
  return out;
}

bool Parse(const std::string& text, References* r) {
  Snapshot* parts[] = {&r->fresh, &r->installed, &r->uninstalled};
  size_t part = 0;
  for (size_t start = 0; start < text.size() && part < 3;) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    const std::string line = text.substr(start, end - start);
    if (line == "--") {
      ++part;
    } else {
      parts[part]->insert(line);
    }
    start = end + 1;
  }
  return part == 3;
}

const References& Refs() {
  static const References* refs = [] {
    auto* r = new References;
    namespace fs = std::filesystem;
    const std::string program = std::string(WINSIM_TEST_SOURCE_DIR) + "/VeltraneGTC64.exe";
    const std::string cache = std::string(WINSIM_TEST_SOURCE_DIR) + "/../reliability_references.txt";
    std::error_code ec;
    if (fs::exists(cache, ec) && fs::last_write_time(cache, ec) > fs::last_write_time(program, ec) &&
        Parse(winsim::testing::ReadHostFile(cache), r)) {
      return r;
    }
    *r = References{};
    const char* previous = std::getenv("WINSIM_MACHINE");
    const std::string keep = previous ? previous : "";
    const e2e::Setup setup = e2e::FreshSetup();
    reliability::WriteTwoProfileConfig(setup);
    r->fresh = reliability::TakeSnapshot();
    EXPECT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
    r->installed = reliability::TakeSnapshot();
    EXPECT_EQ(0, reliability::RunToEnd(setup, "/u /s"));
    r->uninstalled = reliability::TakeSnapshot();
    if (!::testing::Test::HasFailure()) {
      const std::string partial = cache + "." + std::to_string(getpid());
      winsim::testing::WriteHostFile(partial, Serialize(*r));
      fs::rename(partial, cache, ec);
    }
    if (previous) setenv("WINSIM_MACHINE", keep.c_str(), 1);
    return r;
  }();
  return *refs;
}

std::string LogPath() { return e2e::HostPath("C:\\Windows\\System32\\VelGTCInstall.log"); }

// Starts the run and kills it at the point; false when the run ended
// before the point was reached.
bool KillAt(const e2e::Setup& setup, const KillPoint& point) {
  const std::string args = point.uninstall ? "/u /s" : "/i /s";
  const auto answers = point.uninstall ? reliability::UninstallAnswers() : reliability::InstallAnswers();
  const std::string parkFile = winsim::testing::TempHostDir() + "/parked";
  reliability::Running run = reliability::Start(setup, args, answers, point.childStart, parkFile);
  if (!run.started) return false;
  bool reached = true;
  if (point.childStart > 0) {
    reached = reliability::WaitUntilParked(run, parkFile);
  } else if (!point.logLine.empty()) {
    const std::string path = LogPath();
    const size_t before = winsim::testing::ReadHostFile(path).size();
    for (;;) {
      if (winsim::testing::ReadHostFile(path).find(point.logLine, before) != std::string::npos) break;
      if (WaitForSingleObject(run.info.hProcess, 1) == WAIT_OBJECT_0) {
        reached = winsim::testing::ReadHostFile(path).find(point.logLine, before) != std::string::npos;
        break;
      }
    }
  } else {
    reached = WaitForSingleObject(run.info.hProcess, static_cast<DWORD>(point.afterMs)) != WAIT_OBJECT_0;
  }
  reliability::KillAndClose(run);
  return reached;
}

class KillSweep : public ::testing::TestWithParam<KillPoint> {};

TEST_P(KillSweep, MachineRecovers) {
  const KillPoint& point = GetParam();
  const References& refs = Refs();
  const e2e::Setup setup = e2e::FreshSetup();
  reliability::WriteTwoProfileConfig(setup);
  if (point.uninstall) {
    ASSERT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
  }

  const bool reached = KillAt(setup, point);
  // Timed points may come after the end on a fast machine; the others must
  // be reached.
  if (point.afterMs < 0) {
    ASSERT_TRUE(reached) << "the run ended before the kill point";
  }
  EXPECT_TRUE(reliability::Survivors(reliability::StartedPids()).empty()) << "a child outlived its killed parent";
  EXPECT_EQ("ok", reliability::RegistryIntegrity()) << "after the kill";

  ASSERT_EQ(0, reliability::RunToEnd(setup, "/u /s"));
  EXPECT_EQ("ok", reliability::RegistryIntegrity()) << "after the uninstall";
  const Snapshot afterUninstall = reliability::TakeSnapshot();
  // Nothing that only an install adds is left ...
  Snapshot added;
  for (const auto& line : refs.installed) {
    if (!refs.uninstalled.count(line) && !refs.fresh.count(line)) added.insert(line);
  }
  Snapshot left;
  for (const auto& line : afterUninstall) {
    if (!added.count(line)) continue;
    left.insert(line);
  }
  EXPECT_TRUE(left.empty()) << "the uninstall left what the install added:\n" << reliability::Missing(left, {});
  // ... and nothing is there that neither an install nor an uninstall
  // makes. A file the uninstall keeps (the recovery copy) may still hold
  // what a killed copy left of it: Windows' CopyFile is not atomic either,
  // and the next install replaces it (checked below).
  Snapshot known = refs.fresh;
  known.insert(refs.installed.begin(), refs.installed.end());
  known.insert(refs.uninstalled.begin(), refs.uninstalled.end());
  Snapshot keptPaths;
  for (const auto& line : refs.uninstalled) keptPaths.insert(reliability::PathOf(line));
  Snapshot unknown;
  for (const auto& line : afterUninstall) {
    if (!known.count(line) && !keptPaths.count(reliability::PathOf(line))) unknown.insert(line);
  }
  EXPECT_TRUE(unknown.empty()) << "unknown leftovers after the uninstall:\n" << reliability::Missing(unknown, {});

  ASSERT_EQ(0, reliability::RunToEnd(setup, "/i /s"));
  const Snapshot installed = reliability::TakeSnapshot();
  EXPECT_EQ("", reliability::Missing(refs.installed, installed)) << "missing after the new install";
  EXPECT_EQ("", reliability::Missing(installed, refs.installed)) << "extra after the new install";
  EXPECT_TRUE(e2e::LogHas("모든파일 정상 설치 완료, InstallSuccess=1 로 변경"));
}

std::vector<KillPoint> Points() {
  std::vector<KillPoint> points;
  for (int n = 1; n <= reliability::kInstallChildStarts; ++n) {
    points.push_back({"install_child_start_" + std::to_string(n), false, n, "", -1});
  }
  const std::vector<std::pair<std::string, std::string>> installLines = {
      {"install_after_start", "[설치 또는 삭제 프로그램 시작 ]"},
      {"install_after_recovery_root", "CProgressDlg::WorkFileCopy 복구Root 폴더 생성 성공"},
      {"install_after_setup_copy", "FileCopy : "},
      {"install_after_root_folder", "CProgressDlg::WorkFileCopy Root 폴더 생성 성공"},
      {"install_after_system_copy", "CProgressDlg::WorkFileCopy system copy 성공"},
      {"install_after_common_values", "Set registry value(common values) success"},
      {"install_after_registry_start", "CProgressDlg::WorkRegistor In"},
      {"install_after_control_values", "Set registry value(control values) success"},
      {"install_after_profiles_start", "CProgressDlg::WorkCommandRun 프로파일 추가 시작"},
      {"install_after_commands", "CProgressDlg::WorkCommandRun OUT return:1"},
      {"install_after_success_recorded", "모든파일 정상 설치 완료, InstallSuccess=1 로 변경"},
  };
  for (const auto& [name, line] : installLines) points.push_back({name, false, 0, line, -1});
  for (int ms : {0, 40, 120, 250, 500, 1000}) points.push_back({"install_after_" + std::to_string(ms) + "ms", false, 0, "", ms});

  for (int n = 1; n <= reliability::kUninstallChildStarts; ++n) {
    points.push_back({"uninstall_child_start_" + std::to_string(n), true, n, "", -1});
  }
  const std::vector<std::pair<std::string, std::string>> uninstallLines = {
      {"uninstall_after_start", "[설치 또는 삭제 프로그램 시작 ]"},
      {"uninstall_after_mode", "작동 모드 -> 언인스톨"},
  };
  for (const auto& [name, line] : uninstallLines) points.push_back({name, true, 0, line, -1});
  for (int ms : {0, 80, 250}) points.push_back({"uninstall_after_" + std::to_string(ms) + "ms", true, 0, "", ms});
  return points;
}

INSTANTIATE_TEST_SUITE_P(Points, KillSweep, ::testing::ValuesIn(Points()),
                         [](const ::testing::TestParamInfo<KillPoint>& info) { return info.param.name; });

}  // namespace
