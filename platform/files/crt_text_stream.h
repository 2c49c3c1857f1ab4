// A C stream (a real FILE*, made with fopencookie) with the Windows C
// runtime's behaviour over an open host file:
//  - text mode writes CR LF for every LF (a CR already there is kept) and
//    reads CR LF as LF, stopping at Ctrl+Z; binary mode passes bytes through;
//  - append mode writes every block at the real end of the file, even when
//    another writer appended meanwhile;
//  - ftell reports the position in file bytes, after translation; in
//    append mode it is 0 until the first write, then the end of the file.
// The stream is unbuffered towards glibc (the translation is done here, in
// whole blocks), so ftell is exact at every moment.
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

}  // namespace winsim::files
