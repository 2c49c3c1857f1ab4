#include "crt_stream_registry.h"

#include <mutex>
#include <set>

namespace winsim::files {
namespace {

struct Registry {
  std::mutex lock;
  std::set<FILE*> writers;  // streams that only write
  std::set<FILE*> readers;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;  // outlives every stream closed at exit
  return *registry;
}

}  // namespace

void RegisterCrtStream(FILE* stream, bool reads) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  (reads ? r.readers : r.writers).insert(stream);
}

void UnregisterCrtStream(FILE* stream) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  r.readers.erase(stream);
  r.writers.erase(stream);
}

int OpenCrtStreamCount() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  return static_cast<int>(r.readers.size() + r.writers.size());
}

void DiscardCrtReadAhead() {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> hold(r.lock);
  for (FILE* stream : r.readers) {
    // A close holds the stream's lock while it waits for ours in
    // UnregisterCrtStream, so waiting for the stream here could deadlock.
    if (ftrylockfile(stream) != 0) continue;
    fflush_unlocked(stream);  // glibc gives the unread bytes back to the file position
    funlockfile(stream);
  }
}

}  // namespace winsim::files
