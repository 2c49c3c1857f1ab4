// An inotify queue that is cheap to ask "anything new?": a thread that asks
// often gets a doorbell of its own on the queue (ready_doorbell.h), and
// then a quiet queue costs no system call; otherwise reading the empty
// queue is one call. A ring holds the queue's descriptor, so closing it
// (also at process exit) never waits for the kernel's grace period.
//
// Not thread-safe: the owner serialises the calls. Each queue takes one of
// the per-thread doorbell slots, fixed when it is constructed.
#pragma once

#include <sys/inotify.h>

#include <cstdint>

#include "ready_doorbell.h"

namespace winsim {

class WatchQueue {
 public:
  // The per-thread doorbell slots: one per queue of the process.
  enum Slot : unsigned { kConfigSlot = 0, kOpenFileNamesSlot = 1, kKeptFoldersSlot = 2, kSlots = 3 };

  explicit WatchQueue(Slot slot) : slot_(slot) {}
  WatchQueue(const WatchQueue&) = delete;
  WatchQueue& operator=(const WatchQueue&) = delete;
  ~WatchQueue() { Close(); }

  // A new, empty queue, closing any earlier one. False when the host gives
  // no inotify.
  bool Open();
  bool IsOpen() const { return fd_ >= 0; }
  // Watches `path` for the events of `mask`; false when it cannot.
  bool Add(const char* path, uint32_t mask);
  // Reads everything queued, handing each event to `onEvent(event, context)`.
  // False when the queue is closed or was lost (the host's read failed);
  // it is then closed.
  bool Drain(void (*onEvent)(const inotify_event& event, void* context), void* context);
  // Closes the queue. A child after fork closes its copy before reading
  // from it: the queue is shared with the parent.
  void Close();
  // Whether the calling thread's Drain now answers a quiet queue without a
  // system call.
  bool ThreadHasDoorbell() const;

 private:
  const Slot slot_;
  int fd_ = -1;
  // This queue's number among all opened in the process, so that a
  // thread's doorbell on another or an earlier one is known for one.
  unsigned generation_ = 0;
  // Holds the queue's descriptor in a ring, so that closing fd_ is never
  // its last close.
  ReadyDoorbell keeper_;
};

}  // namespace winsim
