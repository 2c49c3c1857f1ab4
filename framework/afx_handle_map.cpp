// The window-handle map of the framework.
#include "afx_handle_map.h"

#include <map>
#include <memory>
#include <mutex>

namespace afx {
namespace {

struct HandleMap {
  std::mutex mutex;
  std::map<HWND, CWnd*> permanent;
  std::map<HWND, std::unique_ptr<CWnd>> temporary;
};

HandleMap& Map() {
  // Never destroyed: windows may still be looked up while the process exits.
  static auto* map = new HandleMap;
  return *map;
}

}  // namespace

CWnd* LookupPermanent(HWND hwnd) {
  HandleMap& m = Map();
  std::lock_guard<std::mutex> lock(m.mutex);
  auto it = m.permanent.find(hwnd);
  return it == m.permanent.end() ? nullptr : it->second;
}

bool AttachPermanent(HWND hwnd, CWnd* pWnd) {
  HandleMap& m = Map();
  std::lock_guard<std::mutex> lock(m.mutex);
  return m.permanent.emplace(hwnd, pWnd).second;
}

void DetachPermanent(HWND hwnd, CWnd* pWnd) {
  HandleMap& m = Map();
  std::lock_guard<std::mutex> lock(m.mutex);
  auto it = m.permanent.find(hwnd);
  if (it != m.permanent.end() && it->second == pWnd) m.permanent.erase(it);
}

CWnd* TemporaryFor(HWND hwnd) {
  HandleMap& m = Map();
  std::lock_guard<std::mutex> lock(m.mutex);
  auto& slot = m.temporary[hwnd];
  if (!slot) slot = std::make_unique<CWnd>(hwnd);
  return slot.get();
}

}  // namespace afx
