#include "crt_text_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace winsim::files {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr size_t kReadAhead = 4096;

class CrtStream {
 public:
  CrtStream(OpenedFile file, const StreamMode& mode) : file_(std::move(file)), mode_(mode) {}

  ssize_t Read(char* out, size_t size) {
    SettlePosition();
    if (!mode_.text) {
      ssize_t n;
      do n = pread(file_.fd, out, size, pos_);
      while (n < 0 && errno == EINTR);
      if (n > 0) pos_ += n;
      return n;
    }
    size_t done = 0;
    while (done < size) {
      int c = PeekAt(pos_);
      if (c == kError) return done ? static_cast<ssize_t>(done) : -1;
      if (c == kEnd || c == kCtrlZ) break;  // Ctrl+Z ends a text stream
      if (c == '\r' && PeekAt(pos_ + 1) == '\n') {
        out[done++] = '\n';
        pos_ += 2;
      } else {
        out[done++] = static_cast<char>(c);
        pos_ += 1;
      }
    }
    return static_cast<ssize_t>(done);
  }

  ssize_t Write(const char* data, size_t size) {
    cache_.clear();
    std::string block;
    if (mode_.text) {
      block.reserve(size + size / 8);
      for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') block.push_back('\r');
        block.push_back(data[i]);
      }
    } else {
      block.assign(data, size);
    }
    // One write call per block where possible, so that appended blocks of
    // several writers do not interleave.
    size_t done = 0;
    while (done < block.size()) {
      ssize_t n = mode_.append ? write(file_.fd, block.data() + done, block.size() - done)
                               : pwrite(file_.fd, block.data() + done, block.size() - done, pos_ + done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (n == 0) errno = ENOSPC;
        return -1;
      }
      done += static_cast<size_t>(n);
    }
    if (mode_.append) {
      // O_APPEND left the file offset after our block; it is read when the
      // position is next needed, not after every block.
      pos_ += static_cast<int64_t>(done);
      posAfterAppend_ = true;
    } else {
      pos_ += static_cast<int64_t>(done);
    }
    return static_cast<ssize_t>(size);
  }

  int Seek(off64_t* offset, int whence) {
    SettlePosition();
    int64_t base = 0;
    if (whence == SEEK_CUR) {
      base = pos_;
    } else if (whence == SEEK_END) {
      struct stat st {};
      if (fstat(file_.fd, &st) != 0) return -1;
      base = st.st_size;
    } else if (whence != SEEK_SET) {
      errno = EINVAL;
      return -1;
    }
    int64_t target = base + *offset;
    if (target < 0) {
      errno = EINVAL;
      return -1;
    }
    pos_ = target;
    *offset = target;
    return 0;
  }

 private:
  static constexpr int kEnd = -1;
  static constexpr int kError = -2;

  // After appended blocks the position is where the last one ended, which
  // only the file offset knows (others may have appended before it).
  void SettlePosition() {
    if (!posAfterAppend_) return;
    posAfterAppend_ = false;
    off_t end = lseek(file_.fd, 0, SEEK_CUR);
    if (end >= 0) pos_ = end;
  }

  // The byte at a file offset, read ahead in blocks.
  int PeekAt(int64_t offset) {
    if (offset < cacheOffset_ || offset >= cacheOffset_ + static_cast<int64_t>(cache_.size())) {
      cache_.resize(kReadAhead);
      ssize_t n;
      do n = pread(file_.fd, cache_.data(), cache_.size(), offset);
      while (n < 0 && errno == EINTR);
      if (n < 0) {
        cache_.clear();
        return kError;
      }
      cache_.resize(static_cast<size_t>(n));
      cacheOffset_ = offset;
      if (n == 0) return kEnd;
    }
    return static_cast<unsigned char>(cache_[static_cast<size_t>(offset - cacheOffset_)]);
  }

  OpenedFile file_;
  StreamMode mode_;
  int64_t pos_ = 0;
  bool posAfterAppend_ = false;
  std::vector<char> cache_;
  int64_t cacheOffset_ = 0;
};

ssize_t ReadCookie(void* cookie, char* buffer, size_t size) {
  return static_cast<CrtStream*>(cookie)->Read(buffer, size);
}
ssize_t WriteCookie(void* cookie, const char* buffer, size_t size) {
  return static_cast<CrtStream*>(cookie)->Write(buffer, size);
}
int SeekCookie(void* cookie, off64_t* offset, int whence) {
  return static_cast<CrtStream*>(cookie)->Seek(offset, whence);
}
int CloseCookie(void* cookie) {
  delete static_cast<CrtStream*>(cookie);
  return 0;
}

}  // namespace

FILE* OpenCrtStream(OpenedFile file, const StreamMode& mode) {
  const char* glibcMode = mode.append ? (mode.read ? "a+" : "a") : mode.read && mode.write ? "r+" : mode.write ? "w" : "r";
  auto* stream = new CrtStream(std::move(file), mode);
  cookie_io_functions_t io{};
  io.read = mode.read ? ReadCookie : nullptr;
  io.write = mode.write ? WriteCookie : nullptr;
  io.seek = SeekCookie;
  io.close = CloseCookie;
  FILE* f = fopencookie(stream, glibcMode, io);
  if (!f) {
    delete stream;
    errno = ENOMEM;
    return nullptr;
  }
  setvbuf(f, nullptr, _IONBF, 0);
  return f;
}

}  // namespace winsim::files
