// A doorbell on a descriptor: tells, without a system call, whether the
// descriptor may have become readable since the doorbell was last armed.
//
// It is one io_uring poll request on the descriptor, which the ring holds as
// its registered (fixed) file; the completion lands in memory the process
// shares with the kernel, so looking is a load. The ring's own reference to
// the file is dropped by the kernel's background teardown of the ring, not
// by the process: the owner's close of its descriptor is then never the last
// one. (Closing the last reference of an inotify descriptor waits for a
// kernel grace period, up to some 20 ms, and a process exit waits for it
// too.) The owner must close its descriptor before it closes the doorbell;
// at exit the kernel closes descriptors in ascending order, so Open places
// the ring above the descriptor.
//
// A completion is posted by the thread that armed the doorbell, when it
// next passes through the kernel (a thread asleep there is woken for it).
// So a change that this thread learned of by a system call has rung this
// thread's doorbell, where another thread's doorbell may ring a moment
// later (and one whose thread ended rings when the kernel gets to it in
// the background): each thread that asks keeps a doorbell of its own.
//
// Not thread-safe: the owner serialises the calls.
#pragma once

#include <cstdint>

namespace winsim {

class ReadyDoorbell {
 public:
  ReadyDoorbell() = default;
  ReadyDoorbell(const ReadyDoorbell&) = delete;
  ReadyDoorbell& operator=(const ReadyDoorbell&) = delete;
  ~ReadyDoorbell() { Close(); }

  // Sets up the ring for `fd` and arms it. False when the host gives no
  // io_uring (old kernel, refused by a sandbox) or it fails; the doorbell
  // is then closed.
  bool Open(int fd);
  // Sets up the ring holding `fd` without arming it: only for its
  // reference, which the kernel then gives up in the background.
  bool Hold(int fd);
  bool IsOpen() const { return ring_fd_ >= 0; }
  // True when a completion is waiting: the descriptor became readable, or
  // the request ended otherwise. Either way the owner must look for
  // itself, then Rearm.
  bool Rang() const;
  // Takes the waiting completions and arms the doorbell again. An armed
  // doorbell on a descriptor that is still readable rings at once. False
  // when arming fails; the doorbell is then closed.
  bool Rearm();
  // Unmaps and closes the ring. A child after fork calls it on its copy:
  // the ring is shared with the parent, and the parent's request stays.
  void Close();

 private:
  bool Setup(int fd);
  bool Submit();

  int ring_fd_ = -1;
  void* rings_ = nullptr;
  unsigned long rings_size_ = 0;
  void* sqes_ = nullptr;
  unsigned long sqes_size_ = 0;
  // Inside the shared rings.
  unsigned* sq_tail_ = nullptr;
  unsigned* sq_mask_ = nullptr;
  unsigned* sq_array_ = nullptr;
  unsigned* cq_head_ = nullptr;
  unsigned* cq_tail_ = nullptr;
  unsigned* cq_mask_ = nullptr;
  const void* cqes_ = nullptr;
};

}  // namespace winsim
