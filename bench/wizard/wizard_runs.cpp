#include "wizard_runs.h"

#include <sstream>

namespace winewizard {

// UTF-8, as the driver reports the captions.
const char kInstalling[] = "Veltrane RAZ 설치";
const char kInstalled[] = "Veltrane RAZ 설치 완료";
const char kUninstalling[] = "Veltrane RAZ 제거";
const char kUninstalled[] = "Veltrane RAZ 제거 완료";

const std::vector<Row>& InstallRows() {
  static const std::vector<Row> rows = {
      {"wait 12324", "104", "Next,Cancel", kInstalling, "install-1-welcome"},
      {"click 12324", "107", "Back,Cancel", kInstalling, "install-2-licence"},
      {"click 1035", "107", "Back,Cancel", kInstalling, nullptr},
      {"click 12323", "104", "Next,Cancel", kInstalling, nullptr},
      {"click 12324", "107", "Back,Cancel", kInstalling, nullptr},
      {"click 1034", "107", "Back,Next,Cancel", kInstalling, "install-3-licence-accepted"},
      {"click 12324", "115", "-", kInstalling, "install-4-progress"},
      {"wait 12325", "129", "Finish", kInstalled, "install-5-finish"},
      {"click 12325", nullptr, nullptr, nullptr, nullptr},
  };
  return rows;
}

const std::vector<Row>& UninstallRows() {
  static const std::vector<Row> rows = {
      {"shot", nullptr, nullptr, nullptr, "uninstall-0-question"},
      {"answer IDYES", "104", "Next,Cancel", kUninstalling, "uninstall-1-welcome"},
      {"click 12324", "115", "-", kUninstalling, "uninstall-2-progress"},
      {"wait 12325", "129", "Finish", kUninstalled, "uninstall-3-finish"},
      {"click 12325", nullptr, nullptr, nullptr, nullptr},
  };
  return rows;
}

const std::vector<Row>& CancelRows() {
  static const std::vector<Row> rows = {
      {"wait 12324", "104", "Next,Cancel", kInstalling, nullptr},
      {"click 2", nullptr, nullptr, nullptr, nullptr},
      {"answer IDNO", "104", "Next,Cancel", kInstalling, nullptr},
      {"command 12324", "107", "Back,Cancel", kInstalling, nullptr},
      {"dump", nullptr, nullptr, nullptr, nullptr},
      {"click 2", nullptr, nullptr, nullptr, nullptr},
      {"answer IDYES", nullptr, nullptr, nullptr, nullptr},
  };
  return rows;
}

std::vector<std::string> Script(const std::vector<Row>& rows, const std::string& shotsDir) {
  std::vector<std::string> script;
  for (const Row& row : rows) {
    // A row whose action is "shot" only takes its screenshot.
    if (std::string(row.action) != "shot") script.push_back(row.action);
    if (row.page) script.push_back("state");
    if (row.shot) script.push_back("shot " + shotsDir + "\\" + row.shot + ".png");
  }
  script.push_back("gone");
  return script;
}

std::vector<Visit> Expected(const std::vector<Row>& rows) {
  std::vector<Visit> visits;
  for (const Row& row : rows) {
    if (row.page) visits.push_back({row.page, row.buttons, row.caption});
  }
  return visits;
}

std::vector<Visit> Reported(const std::string& driverOutput) {
  std::vector<Visit> visits;
  std::istringstream in(driverOutput);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("state ", 0) != 0) continue;
    // state page=<id> name=<name> buttons=<list> caption=<rest of the line>
    auto field = [&](const std::string& name) {
      const size_t at = line.find(" " + name + "=");
      if (at == std::string::npos) return std::string();
      const size_t from = at + name.size() + 2;
      return name == "caption" ? line.substr(from) : line.substr(from, line.find(' ', from) - from);
    };
    visits.push_back({field("page"), field("buttons"), field("caption")});
  }
  return visits;
}

std::vector<std::string> Shots(const std::vector<Row>& rows) {
  std::vector<std::string> shots;
  for (const Row& row : rows) {
    if (row.shot) shots.push_back(row.shot);
  }
  return shots;
}

std::string Describe(const std::vector<Visit>& visits) {
  std::string out;
  for (const Visit& v : visits) out += "page=" + v.page + " buttons=" + v.buttons + " caption=" + v.caption + "\n";
  return out.empty() ? "(none)\n" : out;
}

void PrintTo(const Visit& visit, std::ostream* out) {
  *out << "page=" << visit.page << " buttons=" << visit.buttons << " caption=" << visit.caption;
}

}  // namespace winewizard
