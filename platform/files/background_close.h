// Closing host descriptors on a thread of the layer's own. The last close of
// a file that is no longer linked frees its inode and its blocks, work a
// delete need not wait for: DeleteFileA holds the file open across its
// unlink and leaves the freeing to this thread, the way Windows frees a
// deleted file's space after the call has returned.
#pragma once

namespace winsim::files {

// Takes over `fd` and closes it soon, on another thread (on this one when
// no thread can be had). In a forked child, what the parent had queued is
// closed at once.
void CloseInBackground(int fd);

// Waits until every descriptor handed over so far is closed (for tests).
void WaitForBackgroundCloses();

}  // namespace winsim::files
