#include "crt_text_stream.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <string>
#include <vector>

namespace winsim::files {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr size_t kReadAhead = 4096;

std::atomic<int> g_openStreams{0};

class CrtStream {
 public:
  CrtStream(OpenedFile file, const StreamMode& mode) : file_(std::move(file)), mode_(mode) { ++g_openStreams; }
  ~CrtStream() { --g_openStreams; }
  CrtStream(const CrtStream&) = delete;
  CrtStream& operator=(const CrtStream&) = delete;

  void Attach(FILE* stream) { stream_ = stream; }

  // The buffer glibc fills for a stream that only writes. glibc sizes a
  // buffer it allocates itself by the file system, so the stream brings its
  // own; glibc no longer touches it once the close hook has run.
  char* Buffer() {
    buffer_.resize(kCrtStreamBuffer);
    return buffer_.data();
  }

  // glibc remembers a position after a seek and then counts the bytes it
  // hands over without their translation; forgetting it after every call
  // makes each ftell ask Seek, which knows the real position.
  void ForgetGlibcOffset() {
    if (stream_) stream_->_offset = -1;  // _IO_pos_BAD
  }

  ssize_t Read(char* out, size_t size) {
    ForgetGlibcOffset();
    return ReadTranslated(out, size);
  }

  ssize_t Write(const char* data, size_t size) {
    ForgetGlibcOffset();
    return WriteTranslated(data, size);
  }

  // A tell (offset 0 from the current place or, in append mode, from the
  // end) while text waits in the buffer: glibc adds the waiting bytes as
  // they are, so each LF among them adds the CR it will get.
  int Seek(off64_t* offset, int whence) {
    const bool tell = *offset == 0 && (whence == SEEK_CUR || whence == SEEK_END);
    int result = SeekTo(offset, whence);
    if (result == 0 && tell && mode_.text && stream_ && stream_->_IO_write_ptr > stream_->_IO_write_base) {
      for (const char* p = stream_->_IO_write_base; p < stream_->_IO_write_ptr; ++p) *offset += *p == '\n' ? 1 : 0;
    }
    return result;
  }

 private:
  ssize_t ReadTranslated(char* out, size_t size) {
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

  ssize_t WriteTranslated(const char* data, size_t size) {
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
      off_t end = lseek(file_.fd, 0, SEEK_CUR);  // O_APPEND left it after our block
      pos_ = end < 0 ? pos_ + static_cast<int64_t>(done) : end;
    } else {
      pos_ += static_cast<int64_t>(done);
    }
    return static_cast<ssize_t>(size);
  }

  int SeekTo(off64_t* offset, int whence) {
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

  static constexpr int kEnd = -1;
  static constexpr int kError = -2;

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
  FILE* stream_ = nullptr;
  std::vector<char> buffer_;
  int64_t pos_ = 0;
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
  stream->Attach(f);
  if (mode.read) setvbuf(f, nullptr, _IONBF, 0);
  else setvbuf(f, stream->Buffer(), _IOFBF, kCrtStreamBuffer);
  return f;
}

int OpenCrtStreamCount() { return g_openStreams.load(); }

}  // namespace winsim::files
