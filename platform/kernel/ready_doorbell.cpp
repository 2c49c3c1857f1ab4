#include "ready_doorbell.h"

#include <fcntl.h>
#include <linux/io_uring.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace winsim {
namespace {

constexpr uint64_t kPollRequest = 1;

template <typename T>
T* At(void* base, uint32_t offset) {
  return reinterpret_cast<T*>(static_cast<char*>(base) + offset);
}

int Enter(int ring, unsigned toSubmit) {
  for (;;) {
    long n = syscall(__NR_io_uring_enter, ring, toSubmit, 0u, 0u, nullptr, 0ul);
    if (n >= 0 || errno != EINTR) return static_cast<int>(n);
  }
}

}  // namespace

bool ReadyDoorbell::Open(int fd) {
  if (!Setup(fd)) return false;
  if (!Submit()) {
    Close();
    return false;
  }
  return true;
}

bool ReadyDoorbell::Hold(int fd) { return Setup(fd); }

bool ReadyDoorbell::Setup(int fd) {
  Close();
  io_uring_params params;
  std::memset(&params, 0, sizeof params);
  int ring = static_cast<int>(syscall(__NR_io_uring_setup, 2u, &params));
  if (ring < 0) return false;
  // Above `fd`, so that an exit closes the owner's descriptor first.
  if (ring < fd) {
    int high = fcntl(ring, F_DUPFD_CLOEXEC, fd + 1);
    close(ring);
    if (high < 0) return false;
    ring = high;
  }
  ring_fd_ = ring;
  if (!(params.features & IORING_FEAT_SINGLE_MMAP)) {
    Close();
    return false;
  }
  const unsigned long sqSize = params.sq_off.array + params.sq_entries * sizeof(unsigned);
  const unsigned long cqSize = params.cq_off.cqes + params.cq_entries * sizeof(io_uring_cqe);
  rings_size_ = sqSize > cqSize ? sqSize : cqSize;
  void* rings = mmap(nullptr, rings_size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring, IORING_OFF_SQ_RING);
  if (rings == MAP_FAILED) {
    Close();
    return false;
  }
  rings_ = rings;
  sqes_size_ = params.sq_entries * sizeof(io_uring_sqe);
  void* sqes = mmap(nullptr, sqes_size_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, ring, IORING_OFF_SQES);
  if (sqes == MAP_FAILED) {
    Close();
    return false;
  }
  sqes_ = sqes;
  sq_tail_ = At<unsigned>(rings_, params.sq_off.tail);
  sq_mask_ = At<unsigned>(rings_, params.sq_off.ring_mask);
  sq_array_ = At<unsigned>(rings_, params.sq_off.array);
  cq_head_ = At<unsigned>(rings_, params.cq_off.head);
  cq_tail_ = At<unsigned>(rings_, params.cq_off.tail);
  cq_mask_ = At<unsigned>(rings_, params.cq_off.ring_mask);
  cqes_ = At<io_uring_cqe>(rings_, params.cq_off.cqes);
  int files[1] = {fd};
  if (syscall(__NR_io_uring_register, ring_fd_, IORING_REGISTER_FILES, files, 1u) < 0) {
    Close();
    return false;
  }
  return true;
}

bool ReadyDoorbell::Rang() const {
  if (ring_fd_ < 0) return true;
  return __atomic_load_n(cq_tail_, __ATOMIC_ACQUIRE) != *cq_head_;
}

bool ReadyDoorbell::Rearm() {
  if (ring_fd_ < 0) return false;
  // Only the poll request is ever in flight, so every waiting completion
  // is its end. One that failed for another reason than a cancellation
  // would fail again: the doorbell is given up.
  const unsigned tail = __atomic_load_n(cq_tail_, __ATOMIC_ACQUIRE);
  bool usable = true;
  for (unsigned head = *cq_head_; head != tail; ++head) {
    const int result = static_cast<const io_uring_cqe*>(cqes_)[head & *cq_mask_].res;
    if (result < 0 && result != -ECANCELED) usable = false;
  }
  __atomic_store_n(cq_head_, tail, __ATOMIC_RELEASE);
  if (!usable || !Submit()) {
    Close();
    return false;
  }
  return true;
}

bool ReadyDoorbell::Submit() {
  const unsigned tail = *sq_tail_;
  const unsigned index = tail & *sq_mask_;
  auto* sqe = static_cast<io_uring_sqe*>(sqes_) + index;
  std::memset(sqe, 0, sizeof *sqe);
  sqe->opcode = IORING_OP_POLL_ADD;
  sqe->flags = IOSQE_FIXED_FILE;
  sqe->fd = 0;  // the registered file
  sqe->poll32_events = POLLIN;
  sqe->user_data = kPollRequest;
  sq_array_[index] = index;
  __atomic_store_n(sq_tail_, tail + 1, __ATOMIC_RELEASE);
  return Enter(ring_fd_, 1) == 1;
}

void ReadyDoorbell::Close() {
  if (sqes_) munmap(sqes_, sqes_size_);
  if (rings_) munmap(rings_, rings_size_);
  if (ring_fd_ >= 0) close(ring_fd_);
  ring_fd_ = -1;
  rings_ = sqes_ = nullptr;
  rings_size_ = sqes_size_ = 0;
  sq_tail_ = sq_mask_ = sq_array_ = cq_head_ = cq_tail_ = cq_mask_ = nullptr;
  cqes_ = nullptr;
}

}  // namespace winsim
