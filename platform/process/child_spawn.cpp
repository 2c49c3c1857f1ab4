#include "child_spawn.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "launch_env.h"
#include "windows.h"
#include "winsim/paths.h"

// The child runs on the parent's memory while the parent is suspended:
// it uses raw system calls only (no C library state, no sanitizer
// interceptors, nothing that takes a lock another thread may hold) and
// is not instrumented.
#define CHILD_CODE __attribute__((no_sanitize("address", "thread", "undefined"), noinline))

// glibc's clone under its other exported name: ThreadSanitizer's clone
// interceptor takes every clone for a fork and resets its own state in the
// child, which here shares the parent's memory.
extern "C" int __clone(int (*fn)(void*), void* stack, int flags, void* arg, ...);

namespace winsim::process {
namespace {

// Room for any pid in decimal.
constexpr size_t kPidDigits = 20;
constexpr size_t kChildStack = 64 * 1024;

// Everything the child needs, prepared by the parent.
struct ChildPlan {
  const SpawnRequest* request;
  char* const* argv;
  char* const* envp;
  char* pidDigits;     // inside the WINSIM_PID entry of envp: 20 '0's
  char* recordDigits;  // inside exitRecordPath: room for the pid, or null
  const char* exitRecordPath;
  const char* journalPath;  // or null
  iovec journal[3];         // head, pid, tail
  char journalPid[kPidDigits + 1];
  int error;  // set by the child: errno of a failed start
};

CHILD_CODE long Sys(long number, long a = 0, long b = 0, long c = 0, long d = 0) {
  long r = syscall(number, a, b, c, d);
  return r;
}

CHILD_CODE size_t Decimal(char* out, long value) {
  char digits[kPidDigits];
  size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value > 0 && n < kPidDigits);
  size_t length = n;
  while (n > 0) *out++ = digits[--n];
  *out = '\0';
  return length;
}

CHILD_CODE void Journal(ChildPlan* plan) {
  long fd = Sys(SYS_openat, AT_FDCWD, reinterpret_cast<long>(plan->journalPath),
                O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  Sys(SYS_flock, fd, LOCK_EX);
  // One write: the line of a start never mixes with another's.
  Sys(SYS_writev, fd, reinterpret_cast<long>(plan->journal), 3);
  Sys(SYS_close, fd);
}

// The kernel's struct sigaction, for setting SIG_DFL.
struct KernelSigaction {
  unsigned long handler;
  unsigned long flags;
  unsigned long restorer;
  unsigned long mask;
};

[[noreturn]] CHILD_CODE void Fail(ChildPlan* plan, long result) {
  plan->error = static_cast<int>(-result > 0 ? -result : EINVAL);
  for (;;) Sys(SYS_exit_group, 127);
}

// syscall() reports errors through errno; the child reads it from the
// parent's thread, which is suspended meanwhile.
CHILD_CODE long Checked(long result) { return result == -1 ? -errno : result; }

CHILD_CODE int ChildMain(void* arg) {
  auto* plan = static_cast<ChildPlan*>(arg);
  const SpawnRequest& request = *plan->request;
  const long pid = Sys(SYS_getpid);
  Decimal(plan->pidDigits, pid);
  plan->journal[1].iov_len = Decimal(plan->journalPid, pid);
  if (plan->recordDigits) {
    Decimal(plan->recordDigits, pid);
    Sys(SYS_unlinkat, AT_FDCWD, reinterpret_cast<long>(plan->exitRecordPath), 0);
  }
  if (plan->journalPath) Journal(plan);
  if (request.newProcessGroup) Sys(SYS_setpgid, 0, 0);
  long r = Checked(Sys(SYS_chdir, reinterpret_cast<long>(request.hostDirectory.c_str())));
  if (r < 0) Fail(plan, r);
  if (request.discardOutput) {
    long null = Sys(SYS_openat, AT_FDCWD, reinterpret_cast<long>("/dev/null"), O_WRONLY | O_CLOEXEC);
    if (null >= 0) {
      if (null != STDOUT_FILENO) Sys(SYS_dup3, null, STDOUT_FILENO, 0);
      if (null != STDERR_FILENO) Sys(SYS_dup3, null, STDERR_FILENO, 0);
    }
  }
  // The started program holds nothing of its parent's but the standard
  // handles. Closed here, not marked close-on-exec: the kernel lets the
  // suspended parent go on before it closes those, and the parent may let
  // go of a name the moment CreateProcessA returns.
  if (Checked(Sys(SYS_close_range, 3, ~0L, 0)) < 0) {
    for (long fd = 3; fd < 65536; ++fd) Sys(SYS_close, fd);
  }
  // A new Windows process starts with no signal handled, ignored or blocked.
  KernelSigaction dfl{};
  for (long s = 1; s < 65; ++s) {
    if (s != SIGKILL && s != SIGSTOP) Sys(SYS_rt_sigaction, s, reinterpret_cast<long>(&dfl), 0, 8);
  }
  unsigned long none = 0;
  Sys(SYS_rt_sigprocmask, SIG_SETMASK, reinterpret_cast<long>(&none), 0, 8);
  r = Checked(Sys(SYS_execve, reinterpret_cast<long>(request.image.c_str()), reinterpret_cast<long>(plan->argv),
                  reinterpret_cast<long>(plan->envp)));
  Fail(plan, r);
}

DWORD ExecErrorToWin32(int error) {
  switch (error) {
    case ENOEXEC: return ERROR_BAD_EXE_FORMAT;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case E2BIG: return ERROR_FILENAME_EXCED_RANGE;
    default: return ErrnoToWin32(error);
  }
}

}  // namespace

DWORD Spawn(const SpawnRequest& request, pid_t* childPid) {
  std::vector<char*> argv;
  for (const auto& a : request.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  std::string pidSlot = std::string(kPidVar) + "=" + std::string(kPidDigits, '0');
  std::vector<char*> envp;
  for (const auto& e : request.environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(pidSlot.data());
  envp.push_back(nullptr);

  ChildPlan plan{};
  plan.request = &request;
  plan.argv = argv.data();
  plan.envp = envp.data();
  plan.pidDigits = pidSlot.data() + std::strlen(kPidVar) + 1;
  std::string recordPath;
  if (!request.exitRecordDir.empty()) {
    recordPath = request.exitRecordDir + "/" + std::string(kPidDigits + 1, '\0');
    plan.exitRecordPath = recordPath.c_str();
    plan.recordDigits = recordPath.data() + request.exitRecordDir.size() + 1;
  }
  if (!request.journalPath.empty()) {
    plan.journalPath = request.journalPath.c_str();
    plan.journal[0] = iovec{const_cast<char*>(request.journalHead.data()), request.journalHead.size()};
    plan.journal[1] = iovec{plan.journalPid, 0};
    plan.journal[2] = iovec{const_cast<char*>(request.journalTail.data()), request.journalTail.size()};
  }

  void* stack = mmap(nullptr, kChildStack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
  if (stack == MAP_FAILED) return ErrnoToWin32(errno);
  // No handler of the parent may run on the child, which shares its memory:
  // every signal stays blocked until the child has reset them.
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &old);
  const pid_t pid = __clone(ChildMain, static_cast<char*>(stack) + kChildStack, CLONE_VM | CLONE_VFORK | SIGCHLD, &plan);
  const int cloneError = errno;
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  munmap(stack, kChildStack);
  if (pid < 0) return ErrnoToWin32(cloneError);
  if (plan.error != 0) {
    // Made but not started: it has ended already; collect it here.
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    return ExecErrorToWin32(plan.error);
  }
  *childPid = pid;
  return 0;
}

}  // namespace winsim::process
