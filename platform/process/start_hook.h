// A test hook of CreateProcessA: parks the calling process for good at a
// chosen child start, after the child exists and before CreateProcessA
// returns, so that a test can kill the parent exactly there.
//
// WINSIM_PARK_AT_CHILD_START="<n>:<host file>" parks at the n-th start of
// this process (counted from 1): the pid is written to the file (made
// whole by a rename), then the process sleeps until it is killed. Unset,
// malformed or for another count, the hook does nothing.
#pragma once

namespace winsim::process {

void ParkAtChildStartIfAsked();

}  // namespace winsim::process
