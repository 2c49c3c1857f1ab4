#include "winsim/file_sharing.h"

#include <sys/stat.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "windows.h"

namespace winsim {
namespace {

constexpr DWORD kDelete = 0x00010000;
constexpr DWORD kFileReadData = 0x0001;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kFileAppendData = 0x0004;

// The three kinds of access that share modes govern.
struct Wants {
  bool read, write, del;
};

Wants Normalize(DWORD access) {
  const bool all = access & GENERIC_ALL;
  return {all || (access & (GENERIC_READ | kFileReadData)) != 0,
          all || (access & (GENERIC_WRITE | kFileWriteData | kFileAppendData)) != 0,
          all || (access & kDelete) != 0};
}

bool Conflicts(DWORD accessA, DWORD shareA, DWORD accessB, DWORD shareB) {
  Wants a = Normalize(accessA), b = Normalize(accessB);
  auto refuses = [](const Wants& w, DWORD otherShare) {
    return (w.read && !(otherShare & FILE_SHARE_READ)) || (w.write && !(otherShare & FILE_SHARE_WRITE)) ||
           (w.del && !(otherShare & FILE_SHARE_DELETE));
  };
  return refuses(a, shareB) || refuses(b, shareA);
}

struct Open {
  DWORD access;
  DWORD share;
};

struct Registry {
  std::mutex mutex;
  std::map<std::pair<dev_t, ino_t>, std::vector<Open>> opens;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // never destroyed: handles may outlive main
  return *registry;
}

bool ConflictsLocked(Registry& r, const HostFileId& id, DWORD access, DWORD share) {
  auto it = r.opens.find({id.dev, id.ino});
  if (it == r.opens.end()) return false;
  for (const Open& o : it->second) {
    if (Conflicts(access, share, o.access, o.share)) return true;
  }
  return false;
}

}  // namespace

bool HostFileIdOf(const std::string& hostPath, HostFileId* id) {
  struct stat st {};
  if (stat(hostPath.c_str(), &st) != 0) return false;
  id->dev = st.st_dev;
  id->ino = st.st_ino;
  return true;
}

ShareRegistration::~ShareRegistration() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto it = r.opens.find({id_.dev, id_.ino});
  if (it == r.opens.end()) return;
  auto& list = it->second;
  for (auto o = list.begin(); o != list.end(); ++o) {
    if (o->access == access_ && o->share == share_) {
      list.erase(o);
      break;
    }
  }
  if (list.empty()) r.opens.erase(it);
}

std::unique_ptr<ShareRegistration> RegisterOpen(const HostFileId& id, DWORD access, DWORD share, DWORD* error) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  if (ConflictsLocked(r, id, access, share)) {
    *error = ERROR_SHARING_VIOLATION;
    return nullptr;
  }
  r.opens[{id.dev, id.ino}].push_back({access, share});
  return std::make_unique<ShareRegistration>(id, access, share);
}

bool WouldConflict(const HostFileId& id, DWORD access, DWORD share) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return ConflictsLocked(r, id, access, share);
}

}  // namespace winsim
