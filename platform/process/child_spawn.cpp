#include "child_spawn.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "launch_env.h"
#include "windows.h"
#include "winsim/paths.h"

namespace winsim::process {
namespace {

// Room for "WINSIM_PID=" and any pid; the child writes its pid in place.
constexpr size_t kPidDigits = 20;

// Everything below runs in the forked child, where only async-signal-safe
// calls are allowed.
void WriteDecimal(char* out, long value) {
  char digits[kPidDigits];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < kPidDigits);
  while (n > 0) *out++ = digits[--n];
  *out = '\0';
}

[[noreturn]] void ChildFail(int reportFd, int error) {
  ssize_t ignored = write(reportFd, &error, sizeof error);
  (void)ignored;
  _exit(127);
}

[[noreturn]] void RunChild(const SpawnRequest& request, char* const* argv, char* const* envp, char* pidDigits,
                           int goFd, int reportFd) {
  WriteDecimal(pidDigits, static_cast<long>(getpid()));
  if (request.newProcessGroup) setpgid(0, 0);
  if (chdir(request.hostDirectory.c_str()) != 0) ChildFail(reportFd, errno);
  if (request.discardOutput) {
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
  }
  // A new Windows process starts with no signal blocked or ignored.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction dfl {};
  dfl.sa_handler = SIG_DFL;
  for (int s = 1; s < 32; ++s) {
    if (s != SIGKILL && s != SIGSTOP) sigaction(s, &dfl, nullptr);
  }
  char go = 0;
  ssize_t n;
  do {
    n = read(goFd, &go, 1);
  } while (n < 0 && errno == EINTR);
  if (n != 1) _exit(127);
  execve(request.image.c_str(), argv, envp);
  ChildFail(reportFd, errno);
}

DWORD ExecErrorToWin32(int error) {
  switch (error) {
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case E2BIG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ErrnoToWin32(error);
  }
}

void CloseBoth(int fds[2]) {
  close(fds[0]);
  close(fds[1]);
}

}  // namespace

DWORD Spawn(const SpawnRequest& request, const std::function<void(pid_t)>& beforeRun, pid_t* childPid) {
  std::vector<char*> argv;
  for (const auto& a : request.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  std::string pidSlot = std::string(kPidVar) + "=" + std::string(kPidDigits, '0');
  std::vector<char*> envp;
  for (const auto& e : request.environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(pidSlot.data());
  envp.push_back(nullptr);
  char* pidDigits = pidSlot.data() + std::strlen(kPidVar) + 1;

  // parent -> child: "run now". A socket, so that writing to a child that
  // already gave up raises no SIGPIPE.
  int go[2];
  int report[2];  // child -> parent: errno of a failed start; EOF on execve
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, go) != 0) return ErrnoToWin32(errno);
  if (pipe2(report, O_CLOEXEC) != 0) {
    DWORD e = ErrnoToWin32(errno);
    CloseBoth(go);
    return e;
  }
  pid_t pid = fork();
  if (pid < 0) {
    DWORD e = ErrnoToWin32(errno);
    CloseBoth(go);
    CloseBoth(report);
    return e;
  }
  if (pid == 0) RunChild(request, argv.data(), envp.data(), pidDigits, go[0], report[1]);

  close(go[0]);
  close(report[1]);
  *childPid = pid;
  beforeRun(pid);
  char run = 1;
  ssize_t n;
  do {
    n = send(go[1], &run, 1, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  close(go[1]);
  int childError = 0;
  size_t got = 0;
  while (got < sizeof childError) {
    n = read(report[0], reinterpret_cast<char*>(&childError) + got, sizeof childError - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(report[0]);
  return got == sizeof childError ? ExecErrorToWin32(childError) : 0;
}

}  // namespace winsim::process
