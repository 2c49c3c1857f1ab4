// The window table: every window of the process by its handle. Touched on
// the user-interface thread only; the lock guards the few readers that the
// scripted user's watchdog runs elsewhere.
#include <mutex>

#include "desktop_internal.h"

namespace winsim::desktop {
namespace {

std::recursive_mutex g_mutex;
std::map<HWND, WindowPtr>& Table() {
  // Never destroyed: other threads may use it while the process exits.
  static auto* table = new std::map<HWND, WindowPtr>;
  return *table;
}
// Handles are never reused, so a stale handle finds nothing.
uintptr_t g_nextHandle = 0x10010;
std::atomic<unsigned long long> g_showSeq{0};

}  // namespace

WindowPtr FindWindowRecord(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto it = Table().find(hwnd);
  return it == Table().end() ? nullptr : it->second;
}

HWND RegisterWindow(const WindowPtr& window) {
  if (!window->proc) window->proc = ClassWindowProc;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  g_nextHandle += 4;
  window->hwnd = reinterpret_cast<HWND>(g_nextHandle);
  Table()[window->hwnd] = window;
  return window->hwnd;
}

void UnregisterWindow(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  Table().erase(hwnd);
}

std::vector<WindowPtr> AllWindows() {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  std::vector<WindowPtr> all;
  for (auto& [hwnd, w] : Table()) all.push_back(w);
  return all;
}

bool IsTopLevel(const Window& w) { return w.parent == nullptr; }

HWND TopLevelOf(HWND hwnd) {
  WindowPtr w = FindWindowRecord(hwnd);
  while (w && w->parent) w = FindWindowRecord(w->parent);
  return w ? w->hwnd : nullptr;
}

bool ReallyVisible(HWND hwnd) {
  for (WindowPtr w = FindWindowRecord(hwnd); w; w = FindWindowRecord(w->parent)) {
    if (!(w->style & WS_VISIBLE)) return false;
    if (!w->parent) return true;
  }
  return false;
}

bool ReallyEnabled(HWND hwnd) {
  for (WindowPtr w = FindWindowRecord(hwnd); w; w = FindWindowRecord(w->parent)) {
    if (w->style & WS_DISABLED) return false;
    if (!w->parent) return true;
  }
  return false;
}

HWND FindChild(HWND parent, int id) {
  WindowPtr p = FindWindowRecord(parent);
  if (!p) return nullptr;
  for (HWND child : p->children) {
    WindowPtr c = FindWindowRecord(child);
    if (c && c->id == id) return child;
  }
  return nullptr;
}

unsigned long long NextShowSeq() { return ++g_showSeq; }

}  // namespace winsim::desktop
