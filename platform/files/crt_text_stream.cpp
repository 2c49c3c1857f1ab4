#include "crt_text_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "crt_read_chunk.h"
#include "host_file_info.h"
#include "crt_stream_registry.h"

namespace winsim::files {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr size_t kReadAhead = 4096;

class CrtStream {
 public:
  CrtStream(OpenedFile file, const StreamMode& mode) : file_(std::move(file)), mode_(mode) {}
  ~CrtStream() {
    if (stream_) UnregisterCrtStream(stream_);
  }
  CrtStream(const CrtStream&) = delete;
  CrtStream& operator=(const CrtStream&) = delete;

  void Attach(FILE* stream) {
    stream_ = stream;
    RegisterCrtStream(stream, mode_.read);
  }

  // The stream's buffer. glibc sizes a buffer it allocates itself by the
  // file system, so the stream brings its own; glibc no longer touches it
  // once the close hook has run.
  char* Buffer() {
    buffer_.resize(kCrtStreamBuffer);
    return buffer_.data();
  }

  // A text stream that reads and writes takes a Ctrl+Z off the end of the
  // file, as the Microsoft runtime does, so that text written after it is
  // not hidden behind it.
  void DropTrailingCtrlZ() {
    uint64_t size = 0;
    char last = 0;
    if (winsim::files::HostFdSize(file_.fd, &size) && size > 0 &&
        pread(file_.fd, &last, 1, static_cast<off_t>(size - 1)) == 1 && last == kCtrlZ) {
      if (ftruncate(file_.fd, static_cast<off_t>(size - 1)) != 0) return;  // kept where it cannot be removed
    }
  }

  // glibc remembers a position after a seek and then counts the bytes it
  // hands over without their translation; forgetting it after every call
  // makes each ftell ask Seek, which knows the real position.
  void ForgetGlibcOffset() {
    if (stream_) stream_->_offset = -1;  // _IO_pos_BAD
  }

  ssize_t Read(char* out, size_t size) {
    if (std::exchange(realign_, false) && InRealignState()) return 0;  // see Seek
    ForgetGlibcOffset();
    return ReadTranslated(out, size);
  }

  ssize_t Write(const char* data, size_t size) {
    realign_ = false;
    chunk_.Forget();
    ForgetGlibcOffset();
    return WriteTranslated(data, size);
  }

  // glibc keeps its positions in the bytes it holds, which in text mode
  // are not file bytes. Every position glibc asks for is therefore taken
  // from what its buffer holds at the time of the call:
  //  - SEEK_CUR is relative to the end of glibc's get area, counted in
  //    delivered bytes: the place glibc reads at maps back to a file
  //    offset through the last read, and the delivered bytes after it
  //    count one each (they are what glibc subtracts again). An offset of
  //    0 is a tell (a seek by 0 from there lands on the same value): the
  //    read position stays, and each LF waiting to be written adds the CR
  //    it will get.
  //  - SEEK_SET in a stream that reads is glibc's move to a block start,
  //    followed by a read of the bytes up to the target, which it counts
  //    as file bytes. That read answers "nothing", so glibc seeks the rest
  //    from the block start itself (the realign state below).
  int Seek(off64_t* offset, int whence) {
    const bool realigning = std::exchange(realign_, false) && InRealignState();
    const bool tell = *offset == 0 && (whence == SEEK_CUR || whence == SEEK_END);
    int64_t target = 0;
    if (whence == SEEK_SET) {
      target = *offset;
    } else if (whence == SEEK_CUR) {
      target = (realigning ? pos_ : GlibcPosition()) + *offset;
    } else if (whence == SEEK_END) {
      uint64_t size = 0;
      if (!winsim::files::HostFdSize(file_.fd, &size)) return -1;
      target = static_cast<int64_t>(size) + *offset;
    } else {
      errno = EINVAL;
      return -1;
    }
    if (target < 0) {
      errno = EINVAL;
      return -1;
    }
    if (tell && whence == SEEK_CUR) {
      *offset = target + PendingCarriageReturns();
      return 0;
    }
    pos_ = target;
    *offset = target + (tell ? PendingCarriageReturns() : 0);
    chunk_.Forget();
    if (whence == SEEK_SET && mode_.read && mode_.text && stream_ && stream_->_IO_buf_base) EnterRealignState();
    return 0;
  }

 private:
  // Where glibc stands, as a file offset plus the delivered bytes after
  // it (see Seek): the read place, or the place writing started after a
  // read.
  int64_t GlibcPosition() const {
    if (!stream_) return pos_;
    const bool writing = stream_->_IO_write_ptr > stream_->_IO_write_base;
    const char* place = writing ? stream_->_IO_write_base : stream_->_IO_read_ptr;
    const char* end = stream_->_IO_read_end;
    if (!chunk_.Covers(place, end)) return pos_;
    return chunk_.FileOffsetOf(place) + (end - place);
  }

  // The CRs that the text waiting in glibc's buffer gets when written.
  int64_t PendingCarriageReturns() const {
    if (!mode_.text || !stream_) return 0;
    int64_t crs = 0;
    for (const char* p = stream_->_IO_write_base; p < stream_->_IO_write_ptr; ++p) crs += *p == '\n' ? 1 : 0;
    return crs;
  }

  // A get area of one byte at the buffer start is a state glibc never
  // leaves between two calls of ours (a read or seek resets it before
  // anything else), so it marks the seek to a block start.
  void EnterRealignState() {
    realign_ = true;
    stream_->_IO_read_base = stream_->_IO_read_ptr = stream_->_IO_buf_base;
    stream_->_IO_read_end = stream_->_IO_buf_base + 1;
  }
  bool InRealignState() const {
    return stream_ && stream_->_IO_buf_base && stream_->_IO_read_ptr == stream_->_IO_buf_base &&
           stream_->_IO_read_end == stream_->_IO_buf_base + 1;
  }

  ssize_t ReadTranslated(char* out, size_t size) {
    chunk_.Start(out, pos_);
    if (!mode_.text) {
      ssize_t n;
      do n = pread(file_.fd, out, size, pos_);
      while (n < 0 && errno == EINTR);
      if (n > 0) {
        pos_ += n;
        chunk_.DeliverPlain(static_cast<size_t>(n));
      }
      return n;
    }
    cache_.clear();  // another writer may have changed the file since the last read
    size_t done = 0;
    while (done < size) {
      int c = PeekAt(pos_);
      if (c == kError) return done ? static_cast<ssize_t>(done) : -1;
      if (c == kEnd || c == kCtrlZ) break;  // Ctrl+Z ends a text stream
      const bool pair = c == '\r' && PeekAt(pos_ + 1) == '\n';
      out[done++] = pair ? '\n' : static_cast<char>(c);
      pos_ += pair ? 2 : 1;
      chunk_.Deliver(pair);
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
  ReadChunk chunk_;       // what the last read handed to glibc
  bool realign_ = false;  // glibc is moving to a block start (see Seek)
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
  if (mode.read && mode.write && mode.text) stream->DropTrailingCtrlZ();
  setvbuf(f, stream->Buffer(), _IOFBF, kCrtStreamBuffer);
  return f;
}

}  // namespace winsim::files
