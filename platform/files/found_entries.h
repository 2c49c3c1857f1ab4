// The find data of a search's entries, handed out in order. A search of a
// large folder has its entries described (one statx and one look at the
// stored attributes each) on a thread of its own while the caller takes
// them, the way Windows fills a search's buffer ahead of FindNextFile; a
// small one describes them all at once. An entry gone before it is
// described is left out, as it is when the search starts.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "windows.h"

namespace winsim::files {

struct PendingEntry {
  std::string host;       // where it is on the host
  std::string name;       // the listed name in the caller's code page
  std::string alternate;  // its 8.3 name, or empty
};

class FoundEntries {
 public:
  // From this many entries on, they are described on another thread.
  static constexpr size_t kDescribeAheadFrom = 128;

  explicit FoundEntries(std::vector<PendingEntry> pending);
  // Stops the describing thread; it lets go of the entries on its own.
  ~FoundEntries();
  FoundEntries(const FoundEntries&) = delete;
  FoundEntries& operator=(const FoundEntries&) = delete;

  // The next entry that could be described; false after the last. Not for
  // two threads at once (a search's handle serialises its callers).
  bool Next(WIN32_FIND_DATAA* data);

  // True while a thread describes ahead (for tests).
  bool DescribingAhead() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
  size_t next_ = 0;
};

}  // namespace winsim::files
