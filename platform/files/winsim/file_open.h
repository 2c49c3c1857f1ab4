// Opening a file of the machine by Windows' rules (dispositions, read-only,
// the standard-user rule, share modes), for CreateFileA and the C-runtime
// streams.
#pragma once
#include <memory>
#include <string>

#include "windef.h"
#include "winsim/file_sharing.h"
#include "winsim/paths.h"

namespace winsim {

struct OpenRequest {
  DWORD access = 0;       // GENERIC_READ | GENERIC_WRITE | ...
  DWORD share = 0;        // FILE_SHARE_*
  DWORD disposition = 0;  // CREATE_NEW ... TRUNCATE_EXISTING
  DWORD attributes = 0;   // FILE_ATTRIBUTE_* given to a new file
  bool appendOnly = false;// every write lands at the end of the file
  // CreateFile refuses CREATE_ALWAYS over a hidden or system file unless
  // those attributes are asked for; the C runtime's "w" truncates instead.
  bool keepHiddenRule = true;
};

struct OpenedFile {
  int fd = -1;
  bool existed = false;  // the file was there before (for ERROR_ALREADY_EXISTS)
  std::string host;
  std::unique_ptr<ShareRegistration> share;

  OpenedFile() = default;
  OpenedFile(OpenedFile&& other) noexcept;
  OpenedFile& operator=(OpenedFile&& other) noexcept;
  ~OpenedFile();
  int Release();  // hands the descriptor over; the registration stays
};

// Opens the file. Returns 0, or the Windows error code (nothing is left
// open or created on failure).
DWORD OpenWindowsFile(const ResolvedPath& path, const OpenRequest& request, OpenedFile* out);

}  // namespace winsim
