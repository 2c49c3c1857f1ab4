#include "reaper.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>
#include <vector>

namespace winsim::process {
namespace {

// Without pidfd support the reaper looks at its children this often.
constexpr int kPollIntervalMs = 20;

struct Child {
  std::shared_ptr<ProcessRecord> record;
  int pidfd;  // -1 when the kernel has no pidfd_open
};

class Reaper {
 public:
  void Watch(std::shared_ptr<ProcessRecord> record) {
    int pidfd = static_cast<int>(syscall(SYS_pidfd_open, record->Pid(), 0));  // close-on-exec by design
    {
      std::lock_guard<std::mutex> lock(mutex_);
      children_.push_back(Child{std::move(record), pidfd});
      if (!started_) {
        started_ = true;
        wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        std::thread([this] { Run(); }).detach();
      }
    }
    uint64_t one = 1;
    if (wakeFd_ >= 0 && write(wakeFd_, &one, sizeof one) < 0) {
      // The counter is full only if the reaper is far behind; it will wake.
    }
  }

 private:
  static bool HasEnded(pid_t pid) {
    siginfo_t info{};
    if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) < 0) return errno == ECHILD;
    return info.si_pid == pid;
  }

  void Run() {
    for (;;) {
      std::vector<Child> children;
      int wakeFd;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        children = children_;
        wakeFd = wakeFd_;
      }
      std::vector<pollfd> fds;
      if (wakeFd >= 0) fds.push_back(pollfd{wakeFd, POLLIN, 0});
      bool polling = wakeFd < 0;
      for (const auto& c : children) {
        if (c.pidfd >= 0) fds.push_back(pollfd{c.pidfd, POLLIN, 0});
        else polling = true;
      }
      poll(fds.data(), fds.size(), polling ? kPollIntervalMs : -1);
      uint64_t count;
      if (wakeFd >= 0 && read(wakeFd, &count, sizeof count) < 0) {
        // Nothing new: a child ended.
      }
      for (const auto& c : children) {
        if (!HasEnded(c.record->Pid())) continue;
        c.record->Reap();
        Forget(c.record.get());
      }
    }
  }

  void Forget(const ProcessRecord* record) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = children_.begin(); it != children_.end(); ++it) {
      if (it->record.get() != record) continue;
      if (it->pidfd >= 0) close(it->pidfd);
      children_.erase(it);
      return;
    }
  }

  std::mutex mutex_;
  std::vector<Child> children_;
  int wakeFd_ = -1;  // -1 without eventfd: the reaper polls
  bool started_ = false;
};

Reaper& TheReaper() {
  static Reaper* reaper = new Reaper;  // never destroyed: its thread runs until the process ends
  return *reaper;
}

}  // namespace

void WatchChild(std::shared_ptr<ProcessRecord> record) { TheReaper().Watch(std::move(record)); }

}  // namespace winsim::process
