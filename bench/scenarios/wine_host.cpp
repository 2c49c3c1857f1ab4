#include "wine_host.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "host_process.h"

namespace winebench {

namespace fs = std::filesystem;

const Tools& Host() {
  static const Tools tools = [] {
    Tools t;
    t.wine = FindProgram("wine");
    t.wineboot = FindProgram("wineboot");
    t.wineserver = FindProgram("wineserver");
    t.xvfb = FindProgram("Xvfb");
    t.cp = FindProgram("cp");
    t.temp = fs::temp_directory_path().string();
    t.keep = std::getenv("WINE_BENCH_KEEP") != nullptr;
    WineUser();
    return t;
  }();
  return tools;
}

Display::~Display() {
  if (pid > 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
}

const Display& XDisplay() {
  static Display display;
  static std::once_flag once;
  std::call_once(once, [] {
    if (Host().xvfb.empty()) {
      display.error = "Xvfb is missing (apt-get install xvfb)";
      return;
    }
    // Xvfb picks a free display number and writes it to fd 3.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      display.error = "pipe failed";
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> argv = {Host().xvfb, "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"};
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    char* env[] = {nullptr};
    if (posix_spawn(&display.pid, args[0], &actions, nullptr, args.data(), env) != 0) display.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    char c = 0;
    while (display.pid > 0 && poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) display.error = "Xvfb did not start";
    else display.name = ":" + number;
  });
  return display;
}

std::vector<std::string> WineEnvironment(const std::string& prefix, const std::string& home) {
  const WineUserInfo& user = WineUser();
  return {"PATH=/usr/local/bin:/usr/bin:/bin",
          "HOME=" + home,
          "USER=" + user.name,
          "LOGNAME=" + user.name,
          "WINEPREFIX=" + prefix,
          "WINEDEBUG=-all",
          "LANG=ko_KR.UTF-8",
          "LC_ALL=ko_KR.UTF-8",
          "DISPLAY=" + XDisplay().name,
          // No Mono or Gecko installer dialogs, no menu entries in a home.
          "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d"};
}

bool Wineserver(const std::string& flag, const std::vector<std::string>& env, int timeoutMs) {
  return RunHost({{Host().wineserver, flag}, env, "", "", "", true}, timeoutMs) != -1;
}

namespace {

std::string WineVersion() {
  const std::string out = Host().temp + "/wine-version-" + std::to_string(getpid());
  RunHost({{Host().wine, "--version"}, {"PATH=/usr/bin:/bin"}, "", out, ""}, 30000);
  std::string version = ReadFileText(out);
  fs::remove(out);
  return version;
}

}  // namespace

// The template prefix: made once by `wineboot --init`, kept in the
// temporary folder for the next test programs while wine's version stays.
const std::string& TemplatePrefix() {
  static std::string path;
  static std::string error;
  static std::once_flag once;
  std::call_once(once, [] {
    const std::string cache = Host().temp + "/veltrane-wine-bench-" + WineUser().name;
    mkdir(cache.c_str(), 0755);
    struct stat st = {};
    if (lstat(cache.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        (st.st_uid != geteuid() && st.st_uid != WineUser().uid)) {
      error = cache + " is not a folder of ours";
      return;
    }
    GiveToWineUser(cache);
    // Test programs that run at the same time make it once.
    const int lock = open((cache + "/lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    flock(lock, LOCK_EX);
    const std::string prefix = cache + "/template";
    const std::string stampFile = cache + "/template.stamp";
    const std::string stamp = WineVersion();
    if (ReadFileText(stampFile) != stamp || !fs::exists(prefix + "/system.reg")) {
      std::error_code ec;
      fs::remove_all(prefix, ec);
      fs::remove(stampFile, ec);
      const auto env = WineEnvironment(prefix, cache);
      const int status = RunHost({{Host().wineboot, "--init"}, env, cache, "", cache + "/wineboot.log", true}, 180000);
      Wineserver("-w", env, 60000);
      if (status != 0 || !fs::exists(prefix + "/system.reg")) {
        error = "wineboot --init failed (" + std::to_string(status) + "), see " + cache + "/wineboot.log";
      } else {
        std::ofstream(stampFile) << stamp;
      }
    }
    flock(lock, LOCK_UN);
    close(lock);
    if (error.empty()) path = prefix;
  });
  if (path.empty()) throw std::runtime_error("no template prefix: " + error);
  return path;
}

}  // namespace winebench
