// The reaper: one thread, started on first use, that waits for every child
// this process started and records how it ended.
#pragma once
#include <memory>

#include "waitable.h"

namespace winsim::process {

// Watches the child until it ends; then ProcessRecord::Reap runs.
void WatchChild(std::shared_ptr<ProcessRecord> record);

}  // namespace winsim::process
