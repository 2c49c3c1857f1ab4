#include "found_entries.h"

#include <pthread.h>

#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

#include "host_file_info.h"
#include "winsim/file_attributes.h"

namespace winsim::files {
namespace {

// Bumped in a forked child, where no describing thread runs: a search
// carried over describes the rest itself.
std::atomic<unsigned> g_forkGeneration{0};

void CountForkInChild() { g_forkGeneration.fetch_add(1, std::memory_order_relaxed); }

unsigned ForkGeneration() {
  static const bool registered = [] { return pthread_atfork(nullptr, nullptr, CountForkInChild) == 0; }();
  (void)registered;
  return g_forkGeneration.load(std::memory_order_relaxed);
}

// Only system calls and plain data: the describing thread may still run
// while the process ends and its static objects go away.
bool Describe(const PendingEntry& entry, WIN32_FIND_DATAA* data) {
  HostFileInfo info;
  if (!QueryHostFile(entry.host, &info)) return false;
  std::memset(data, 0, sizeof *data);
  data->dwFileAttributes = AttributesOfHostWithMode(entry.host, info.mode);
  data->ftCreationTime = ToFileTime(info.created);
  data->ftLastAccessTime = ToFileTime(info.accessed);
  data->ftLastWriteTime = ToFileTime(info.modified);
  const uint64_t size = info.isDirectory ? 0 : info.size;
  data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
  std::memcpy(data->cFileName, entry.name.c_str(), entry.name.size() + 1);
  std::memcpy(data->cAlternateFileName, entry.alternate.c_str(), entry.alternate.size() + 1);
  return true;
}

}  // namespace

struct FoundEntries::State {
  struct Slot {
    WIN32_FIND_DATAA data;
    bool described;
  };
  std::vector<PendingEntry> pending;
  std::unique_ptr<Slot[]> slots;
  // Slots below this are final; the describing thread publishes them.
  std::atomic<size_t> ready{0};
  std::atomic<bool> stop{false};
  bool ahead = false;
  unsigned generation = 0;

  void DescribeAll() {
    const size_t count = pending.size();
    for (size_t i = 0; i < count && !stop.load(std::memory_order_relaxed); ++i) {
      slots[i].described = Describe(pending[i], &slots[i].data);
      ready.store(i + 1, std::memory_order_release);
      ready.notify_one();
    }
  }
};

FoundEntries::FoundEntries(std::vector<PendingEntry> pending) : state_(std::make_shared<State>()) {
  State& s = *state_;
  s.pending = std::move(pending);
  s.slots = std::make_unique<State::Slot[]>(s.pending.size());
  if (s.pending.size() >= kDescribeAheadFrom) {
    s.generation = ForkGeneration();
    try {
      std::thread([keep = state_] { keep->DescribeAll(); }).detach();
      s.ahead = true;
      return;
    } catch (const std::system_error&) {
      // No thread to spare: described here, as a small search is.
    }
  }
  for (size_t i = 0; i < s.pending.size(); ++i) s.slots[i].described = Describe(s.pending[i], &s.slots[i].data);
  s.ready.store(s.pending.size(), std::memory_order_relaxed);
}

FoundEntries::~FoundEntries() { state_->stop.store(true, std::memory_order_relaxed); }

bool FoundEntries::DescribingAhead() const { return state_->ahead; }

bool FoundEntries::Next(WIN32_FIND_DATAA* data) {
  State& s = *state_;
  while (next_ < s.pending.size()) {
    size_t ready = s.ready.load(std::memory_order_acquire);
    if (next_ >= ready) {
      if (s.ahead && s.generation == ForkGeneration()) {
        s.ready.wait(ready, std::memory_order_acquire);
        continue;
      }
      // A forked child: the thread stayed with the parent.
      s.slots[next_].described = Describe(s.pending[next_], &s.slots[next_].data);
    }
    const State::Slot& slot = s.slots[next_++];
    if (!slot.described) continue;
    *data = slot.data;
    return true;
  }
  return false;
}

}  // namespace winsim::files
