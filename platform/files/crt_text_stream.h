// A C stream (a real FILE*, made with fopencookie) with the Windows C
// runtime's behaviour over an open host file:
//  - text mode writes CR LF for every LF (a CR already there is kept) and
//    reads CR LF as LF, stopping at Ctrl+Z; binary mode passes bytes through;
//  - append mode writes every block at the real end of the file, even when
//    another writer appended meanwhile;
//  - ftell reports the position in file bytes, after translation, also
//    while written text waits in the buffer; in append mode it is 0 until
//    the first write, then the end of the file;
//  - every stream gets a 4,096-byte buffer, as the Microsoft runtime gives
//    one (setvbuf changes it); written text is translated when the buffer
//    is written out: when it is full, by fflush, fclose, _flushall and at
//    process exit; read text is translated as the buffer is filled. The
//    FILE keeps its own lock, so threads sharing it never mix the text of
//    two calls;
//  - ftell in text mode gives the file offset (CRs counted) of the next
//    byte to read or write, and fseek to a value from ftell returns there;
//  - a text stream that reads and writes ("r+", "w+", "a+") takes a
//    Ctrl+Z off the end of the file when opened.
#pragma once
#include <cstdio>

#include "winsim/file_open.h"

namespace winsim::files {

struct StreamMode {
  bool read = false;
  bool write = false;
  bool append = false;
  bool text = true;
};

// Takes over the open file; null (errno set) when no stream can be made.
FILE* OpenCrtStream(OpenedFile file, const StreamMode& mode);

// The Microsoft runtime's buffer size for a new stream.
constexpr size_t kCrtStreamBuffer = 4096;

}  // namespace winsim::files
