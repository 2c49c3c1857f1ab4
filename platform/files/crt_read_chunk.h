// The bytes one read of a C stream handed to the C library, and the file
// offset each of them came from: in text mode a delivered LF may stand
// for the two file bytes CR LF, so a place in the library's buffer maps
// back to a file offset only through this record.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace winsim::files {

class ReadChunk {
 public:
  // A new read into `out`, taken from the file at `fileOffset`.
  void Start(const char* out, int64_t fileOffset) {
    out_ = out;
    start_ = fileOffset;
    length_ = 0;
    pairs_.clear();
  }
  // One more byte delivered; `pair` when it is an LF made of CR LF.
  void Deliver(bool pair) {
    if (pair) pairs_.push_back(length_);
    ++length_;
  }
  // `count` more bytes delivered as they are in the file.
  void DeliverPlain(size_t count) { length_ += count; }
  void Forget() { Start(nullptr, 0); }

  // Whether the library's get area ending at `end` is this chunk and
  // `place` lies in it.
  bool Covers(const char* place, const char* end) const {
    return out_ && end == out_ + length_ && place >= out_ && place <= end;
  }
  // The file offset of the byte at `place` (see Covers).
  int64_t FileOffsetOf(const char* place) const {
    const size_t index = static_cast<size_t>(place - out_);
    const auto pairsBefore = std::lower_bound(pairs_.begin(), pairs_.end(), index) - pairs_.begin();
    return start_ + static_cast<int64_t>(index) + pairsBefore;
  }

 private:
  const char* out_ = nullptr;
  int64_t start_ = 0;
  size_t length_ = 0;
  std::vector<size_t> pairs_;  // indexes of the LFs read from CR LF, ascending
};

}  // namespace winsim::files
