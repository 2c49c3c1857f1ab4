#include "named_mapping_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "windows.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

namespace winsim::process {
namespace {

constexpr size_t kMaxFileName = 240;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[i], b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

uint64_t Fnv1a(std::string_view text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return h;
}

// The file under run/ that stands for an object name. "Local\" names the
// session's namespace, where plain names live too; "Global\" is a
// namespace of its own. Names are case-sensitive, as on Windows.
DWORD FileNameFor(const char* name, std::string* fileName) {
  std::string_view n(name);
  if (n.size() > MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
  std::string key;
  if (StartsWithNoCase(n, "Local\\")) {
    n.remove_prefix(6);
  } else if (StartsWithNoCase(n, "Global\\")) {
    n.remove_prefix(7);
    key = "Global%5C";
  }
  if (n.empty()) return ERROR_INVALID_NAME;
  if (n.find('\\') != std::string_view::npos) return ERROR_PATH_NOT_FOUND;  // no such object folder
  for (char c : n) {
    if (c == '/' || c == '%' || c == '.' || static_cast<unsigned char>(c) < 0x20) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
      key += hex;
    } else {
      key += c;
    }
  }
  if (key.size() > kMaxFileName) {
    char hash[24];
    std::snprintf(hash, sizeof hash, "~%016llx", static_cast<unsigned long long>(Fnv1a(key)));
    key = key.substr(0, kMaxFileName - 20) + hash;
  }
  *fileName = key;
  return 0;
}

// The machine-wide lock around every create and open.
class RunFolderLock {
 public:
  RunFolderLock() {
    std::string dir = RunDir();
    mkdir(dir.c_str(), 0755);
    fd_ = open((dir + "/.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~RunFolderLock() {
    if (fd_ >= 0) close(fd_);
  }
  RunFolderLock(const RunFolderLock&) = delete;
  RunFolderLock& operator=(const RunFolderLock&) = delete;
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

void LockShared(int fd) {
  while (flock(fd, LOCK_SH) != 0 && errno == EINTR) {
  }
}

// Opens the name's file when some process holds it. A file left by holders
// that all ended is removed. Call with the run-folder lock held.
int OpenHeld(const std::string& path) {
  int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    // Nobody holds it: the name is gone. Removing the file (rather than
    // reusing it) leaves views that outlived their handles untouched.
    unlink(path.c_str());
    close(fd);
    return -1;
  }
  LockShared(fd);
  return fd;
}

HeldName Failure(DWORD error) {
  HeldName h;
  h.error = error;
  return h;
}

HeldName Held(int fd, bool created, const std::string& path) {
  HeldName h;
  h.path = path;
  struct stat st {};
  fstat(fd, &st);
  h.fd = fd;
  h.size = static_cast<uint64_t>(st.st_size);
  h.created = created;
  return h;
}

}  // namespace

HeldName CreateNamedMapping(const char* name, uint64_t size) {
  std::string fileName;
  if (DWORD e = FileNameFor(name, &fileName)) return Failure(e);
  RunFolderLock lock;
  if (!lock.Held()) return Failure(ErrnoToWin32(errno));
  std::string path = RunDir() + "/" + fileName;
  if (int fd = OpenHeld(path); fd >= 0) return Held(fd, false, path);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return Failure(ErrnoToWin32(errno));
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    DWORD e = errno == EFBIG || errno == EINVAL ? ERROR_NOT_ENOUGH_MEMORY : ErrnoToWin32(errno);
    unlink(path.c_str());
    close(fd);
    return Failure(e);
  }
  LockShared(fd);
  return Held(fd, true, path);
}

HeldName OpenNamedMapping(const char* name) {
  std::string fileName;
  if (DWORD e = FileNameFor(name, &fileName)) return Failure(e);
  RunFolderLock lock;
  if (!lock.Held()) return Failure(ErrnoToWin32(errno));
  std::string path = RunDir() + "/" + fileName;
  int fd = OpenHeld(path);
  if (fd < 0) return Failure(ERROR_FILE_NOT_FOUND);
  return Held(fd, false, path);
}

void ReleaseNamedMapping(int fd, const std::string& path) {
  RunFolderLock lock;
  close(fd);
  // OpenHeld removes the file when nobody holds it any more.
  int check = OpenHeld(path);
  if (check >= 0) close(check);
}

}  // namespace winsim::process
