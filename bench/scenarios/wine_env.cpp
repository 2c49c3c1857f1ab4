#include "wine_env.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <locale.h>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "host_process.h"
#include "wine_host.h"

namespace winebench {

namespace fs = std::filesystem;

std::string WindowsSourceDir() { return WINE_BENCH_WINDOWS_SOURCE; }
std::string WindowsBinDir() { return WINE_BENCH_WINDOWS_BIN; }

std::string MissingForWine() {
  std::string missing;
  auto add = [&](const std::string& what) { missing += (missing.empty() ? "" : "; ") + what; };
  if (Host().wine.empty() || Host().wineboot.empty() || Host().wineserver.empty()) {
    add("wine is missing (apt-get install wine)");
  }
  if (locale_t ko = newlocale(LC_ALL_MASK, "ko_KR.UTF-8", nullptr)) freelocale(ko);
  else add("the locale ko_KR.UTF-8 is missing (add it to /etc/locale.gen, run locale-gen)");
  if (!fs::exists(WindowsSourceDir() + "/VeltraneGTC64.exe")) {
    add(WindowsSourceDir() + " is not built (cmake --workflow --preset windows)");
  }
  if (!WineUser().error.empty()) add(WineUser().error);
  if (missing.empty() && !XDisplay().error.empty()) add(XDisplay().error);
  return missing;
}

std::string WindowsPathOfHost(const std::string& hostPath) {
  std::string path = "Z:" + hostPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> out;
  auto blank = [&](size_t i) { return line[i] == ' ' || line[i] == '\t'; };
  size_t i = 0;
  for (;;) {
    while (i < line.size() && blank(i)) ++i;
    if (i >= line.size()) return out;
    std::string arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(i))) {
      if (line[i] == '\\') {
        // Backslashes are literal unless a quote follows: then each pair is
        // one backslash, and an odd one out makes the quote literal.
        size_t slashes = 0;
        while (i < line.size() && line[i] == '\\') ++slashes, ++i;
        const bool quoteFollows = i < line.size() && line[i] == '"';
        arg.append(quoteFollows ? slashes / 2 : slashes, '\\');
        if (quoteFollows && slashes % 2) arg += line[i++];
      } else if (line[i] == '"') {
        quoted = !quoted;
        ++i;
      } else {
        arg += line[i++];
      }
    }
    out.push_back(arg);
  }
}

WineCase::WineCase() {
  const std::string& templ = TemplatePrefix();
  std::string dir = Host().temp + "/wine-case-XXXXXX";
  if (!mkdtemp(dir.data())) throw std::runtime_error("mkdtemp failed");
  chmod(dir.c_str(), 0755);
  work_ = dir;
  prefix_ = work_ + "/prefix";
  home_ = work_ + "/home";
  fs::create_directory(home_);
  fs::create_directory(work_ + "/runs");
  GiveToWineUser(work_);
  // cp keeps the owner (the wine user) when we are root.
  if (RunHost({{Host().cp, "-a", templ, prefix_}, {}, "", "", ""}, 120000) != 0) {
    throw std::runtime_error("copying the template prefix failed");
  }
}

WineCase::~WineCase() {
  EndSession();
  if (Host().keep) {
    std::cerr << "WINE_BENCH_KEEP: kept " << work_ << "\n";
    return;
  }
  std::error_code ec;
  fs::remove_all(work_, ec);
}

std::vector<std::string> WineCase::Environment() const { return WineEnvironment(prefix_, home_); }

std::string WineCase::CopyIn(const std::string& hostFrom, const std::string& name) {
  const std::string to = work_ + "/" + name;
  fs::copy(hostFrom, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  GiveToWineUser(to);
  return to;
}

void WineCase::Adopt(const std::string& hostPath) const { GiveToWineUser(hostPath); }

std::string WineCase::HostPath(const std::string& windowsPath) const {
  if (windowsPath.size() < 3 || windowsPath[1] != ':' || windowsPath[2] != '\\') return "";
  const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(windowsPath[0])));
  if (drive != 'C' && drive != 'Z') return "";
  std::string host = drive == 'C' ? prefix_ + "/drive_c" : "";
  auto sameName = [](const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
  };
  for (size_t start = 3; start < windowsPath.size();) {
    size_t end = windowsPath.find('\\', start);
    if (end == std::string::npos) end = windowsPath.size();
    std::string name = windowsPath.substr(start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    std::error_code ec;
    if (!fs::exists(host + "/" + name, ec)) {
      for (const auto& entry : fs::directory_iterator(host.empty() ? "/" : host, ec)) {
        if (sameName(entry.path().filename().string(), name)) name = entry.path().filename().string();
      }
    }
    host += "/" + name;
  }
  return host.empty() ? "/" : host;
}

WineProcess WineCase::Start(const std::string& commandLine, const std::string& currentDirHost) const {
  static std::atomic<int> counter{0};
  WineProcess process;
  process.owner_ = this;
  const std::string base = work_ + "/runs/" + std::to_string(++counter);
  process.outputFile = base + ".out";
  process.errorFile = base + ".err";
  std::vector<std::string> argv = {Host().wine};
  for (auto& arg : SplitCommandLine(commandLine)) argv.push_back(arg);
  process.pid_ = StartHost({argv, Environment(), currentDirHost, process.outputFile, process.errorFile, true});
  return process;
}

WineRun WineCase::Run(const std::string& commandLine, const std::string& currentDirHost, int timeoutMs,
                      bool untilSessionEnds) const {
  return Start(commandLine, currentDirHost).Wait(timeoutMs, untilSessionEnds);
}

void WineCase::EndSession() const { Wineserver("-k", Environment(), 15000); }

WineProcess::WineProcess(WineProcess&& other) noexcept { *this = std::move(other); }

WineProcess& WineProcess::operator=(WineProcess&& other) noexcept {
  std::swap(owner_, other.owner_);
  std::swap(pid_, other.pid_);
  std::swap(outputFile, other.outputFile);
  std::swap(errorFile, other.errorFile);
  return *this;
}

WineProcess::~WineProcess() {
  if (pid_ > 0) Wait(10000);
}

WineRun WineProcess::Wait(int timeoutMs, bool untilSessionEnds) {
  WineRun run;
  if (pid_ <= 0 || !owner_) return run;
  const auto start = std::chrono::steady_clock::now();
  run.exitCode = WaitHost(pid_, timeoutMs, &run.timedOut);
  const int spent =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                           .count());
  // What the program started may still run: the session ends when the
  // last of them has.
  if (!run.timedOut && untilSessionEnds && !Wineserver("-w", owner_->Environment(), std::max(1000, timeoutMs - spent))) {
    run.timedOut = true;
  }
  if (run.timedOut) {
    owner_->EndSession();
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    run.exitCode = -1;
  }
  pid_ = -1;
  run.output = ReadFileText(outputFile);
  run.errors = ReadFileText(errorFile);
  return run;
}

}  // namespace winebench
