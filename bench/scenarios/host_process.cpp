#include "host_process.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace winebench {

namespace fs = std::filesystem;

std::string FindProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = std::string(path ? path : "/usr/bin:/bin") + ":/usr/sbin:/sbin";
  std::istringstream in(dirs);
  std::string dir;
  while (std::getline(in, dir, ':')) {
    if (dir.empty()) continue;
    const std::string candidate = dir + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return "";
}

pid_t StartHost(const HostCommand& command) {
  std::vector<std::string> argv = command.argv;
  if (command.asWineUser && WineUser().switches) {
    static const std::string setpriv = FindProgram("setpriv");
    const WineUserInfo& user = WineUser();
    argv.insert(argv.begin(), {setpriv, "--reuid=" + std::to_string(user.uid), "--regid=" + std::to_string(user.gid),
                               "--init-groups", "--"});
  }
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(a.data());
  args.push_back(nullptr);
  std::vector<std::string> envCopy = command.environment;
  std::vector<char*> env;
  for (auto& e : envCopy) env.push_back(e.data());
  env.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = command.outputFile.empty() ? "/dev/null" : command.outputFile;
  const std::string err = command.errorFile.empty() ? "/dev/null" : command.errorFile;
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (!command.directory.empty()) posix_spawn_file_actions_addchdir_np(&actions, command.directory.c_str());
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

int WaitHost(pid_t pid, int timeoutMs, bool* timedOut) {
  if (timedOut) *timedOut = false;
  if (pid <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, timeoutMs < 0 ? 0 : WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0) return -1;
    if (std::chrono::steady_clock::now() >= deadline) {
      if (timedOut) *timedOut = true;
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

int RunHost(const HostCommand& command, int timeoutMs) {
  const pid_t pid = StartHost(command);
  bool timedOut = false;
  const int status = WaitHost(pid, timeoutMs, &timedOut);
  if (timedOut) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  return status;
}

const WineUserInfo& WineUser() {
  static const WineUserInfo user = [] {
    WineUserInfo u;
    if (geteuid() != 0) {
      u.uid = geteuid();
      u.gid = getegid();
      const passwd* pw = getpwuid(u.uid);
      u.name = pw ? pw->pw_name : std::to_string(u.uid);
      return u;
    }
    u.switches = true;
    u.name = "winebench";
    if (FindProgram("setpriv").empty()) u.error = "setpriv is missing (apt-get install util-linux)";
    if (!getpwnam(u.name.c_str())) {
      // Two test programs may both find it missing: the loser's useradd
      // fails, and the user is there all the same.
      const std::string useradd = FindProgram("useradd");
      if (!useradd.empty()) {
        RunHost({{useradd, "--system", "--user-group", "--no-create-home", "--home-dir", "/nonexistent", "--shell",
                  "/usr/sbin/nologin", u.name},
                 {"PATH=/usr/sbin:/usr/bin:/sbin:/bin"},
                 "",
                 "",
                 ""},
                30000);
      }
    }
    const passwd* pw = getpwnam(u.name.c_str());
    if (!pw) {
      u.error = "the user winebench is missing and useradd could not make it";
      return u;
    }
    u.uid = pw->pw_uid;
    u.gid = pw->pw_gid;
    return u;
  }();
  return user;
}

void GiveToWineUser(const std::string& hostPath) {
  const WineUserInfo& user = WineUser();
  if (!user.switches) return;
  std::error_code ec;
  lchown(hostPath.c_str(), user.uid, user.gid);
  if (!fs::is_directory(fs::symlink_status(hostPath, ec))) return;
  for (auto it = fs::recursive_directory_iterator(hostPath, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    lchown(it->path().c_str(), user.uid, user.gid);
  }
}

std::string ReadFileText(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace winebench
