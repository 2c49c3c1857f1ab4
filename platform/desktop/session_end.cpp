// The end of the session after an accepted restart or shutdown request: as
// Windows ends the programs of the desktop, a program that shows windows
// is ended shortly after the request, and the journal says so.
#include <unistd.h>

#include <chrono>
#include <thread>

#include "desktop_internal.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

// Time the requesting program has to finish what it does right after the
// request (its log lines), as Windows' shutdown takes a moment to begin.
constexpr auto kGrace = std::chrono::milliseconds(1000);

void EndSession(unsigned flags) {
  std::thread([flags] {
    std::this_thread::sleep_for(kGrace);
    JournalEntry e;
    e.event = "endsession";
    e.extra = ",\"flags\":" + std::to_string(flags);
    WriteJournal(e);
    _exit(0);
  }).detach();
}

}  // namespace

void RegisterSessionEnd() { winsim::SetSessionEndHandler(&EndSession); }

}  // namespace winsim::desktop
