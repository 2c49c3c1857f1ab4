// The kernel objects of this library as they sit in the core's handle
// table, and the pseudo handles of the current process and thread.
#pragma once
#include <memory>

#include "waitable.h"
#include "winsim/handles.h"

namespace winsim::process {

inline HANDLE CurrentProcessPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)); }
inline HANDLE CurrentThreadPseudoHandle() { return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)); }

struct ProcessObject : KernelObject {
  explicit ProcessObject(std::shared_ptr<ProcessRecord> r) : record(std::move(r)) {}
  ObjectKind Kind() const override { return ObjectKind::Process; }
  std::shared_ptr<ProcessRecord> record;
};

// A thread: one made by CreateThread, or the first thread of a child
// process, which ends with the process.
struct ThreadObject : KernelObject {
  ThreadObject(std::shared_ptr<Waitable> w, DWORD id) : waitable(std::move(w)), threadId(id) {}
  ObjectKind Kind() const override { return ObjectKind::Thread; }
  std::shared_ptr<Waitable> waitable;
  DWORD threadId;
};

// The waitable state behind a process or thread handle, or null.
std::shared_ptr<Waitable> WaitableOf(HANDLE handle);

}  // namespace winsim::process
