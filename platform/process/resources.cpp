// Resources of the process's modules: the kernel's FindResource family over
// the .res images registered for each module (see winsim/module_resources.h).
// An HRSRC is the address of the entry found; LoadResource gives the data's
// address, which LockResource returns as it is.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "res_file.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/module_resources.h"

namespace {

using winsim::process::ResEntry;
using winsim::process::ResId;

struct ResourceTable {
  std::mutex mutex;
  std::map<HMODULE, std::unique_ptr<std::vector<ResEntry>>> modules;
};

ResourceTable& Table() {
  static ResourceTable* table = new ResourceTable;  // used from static initializers: never destroyed
  return *table;
}

HMODULE Resolve(HMODULE module) { return module ? module : GetModuleHandleA(nullptr); }

// A name or type as the caller gave it. "#123" stands for the ordinal 123;
// a '#' form that is no number of 16 bits names nothing.
struct Wanted {
  ResId id;
  bool valid = true;
};

Wanted FromString(std::u16string s) {
  Wanted w;
  if (!s.empty() && s[0] == u'#') {
    unsigned long value = 0;
    bool digits = s.size() > 1;
    for (size_t i = 1; i < s.size() && digits; ++i) {
      if (s[i] < u'0' || s[i] > u'9')
        digits = false;
      else
        value = value * 10 + static_cast<unsigned long>(s[i] - u'0');
      if (value > 0xFFFF) digits = false;
    }
    w.valid = digits;
    w.id.ordinal = static_cast<WORD>(value);
    return w;
  }
  w.id.named = true;
  w.id.name = std::move(s);
  return w;
}

Wanted FromAnsi(LPCSTR p) {
  if (IS_INTRESOURCE(p)) {
    Wanted w;
    w.id.ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(p));
    return w;
  }
  return FromString(winsim::AnsiToUtf16(p));
}

Wanted FromWide(LPCWSTR p) {
  if (IS_INTRESOURCE(p)) {
    Wanted w;
    w.id.ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(p));
    return w;
  }
  return FromString(std::u16string(p));
}

bool Matches(const ResId& have, const Wanted& want) {
  if (!want.valid || have.named != want.id.named) return false;
  return have.named ? winsim::EqualsNoCase(have.name, want.id.name) : have.ordinal == want.id.ordinal;
}

// The user's language, as far as the machine tells it: the one that goes
// with its ANSI code page.
WORD UserLanguage() {
  switch (winsim::ActiveCodePage()) {
    case 949:
      return MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT);
    case 932:
      return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    case 936:
      return MAKELANGID(LANG_CHINESE, 0x02);  // simplified
    case 950:
      return MAKELANGID(LANG_CHINESE, SUBLANG_DEFAULT);  // traditional
    default:
      return MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT);
  }
}

// Among the languages a resource has, the one a neutral request gets:
// neutral, the user's language, its neutral sublanguage, English, and
// else the first one stored.
const ResEntry* PickNeutral(const std::vector<const ResEntry*>& candidates) {
  const WORD user = UserLanguage();
  const int order[] = {MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),        user,
                       MAKELANGID(PRIMARYLANGID(user), SUBLANG_NEUTRAL), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT),        MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL)};
  for (int language : order) {
    for (const ResEntry* e : candidates) {
      if (e->language == language) return e;
    }
  }
  return candidates.front();
}

// An explicit language: that one, else its neutral sublanguage, else a
// language-neutral resource.
const ResEntry* PickExact(const std::vector<const ResEntry*>& candidates, WORD language) {
  for (int wanted : {static_cast<int>(language), MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL),
                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)}) {
    for (const ResEntry* e : candidates) {
      if (e->language == wanted) return e;
    }
  }
  return nullptr;
}

HRSRC Find(HMODULE module, const Wanted& type, const Wanted& name, WORD language) {
  module = Resolve(module);
  ResourceTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.modules.find(module);
  if (it == t.modules.end()) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return nullptr;
  }
  bool typeFound = false;
  std::vector<const ResEntry*> candidates;
  for (const ResEntry& e : *it->second) {
    if (!Matches(e.type, type)) continue;
    typeFound = true;
    if (Matches(e.name, name)) candidates.push_back(&e);
  }
  if (!typeFound) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  if (candidates.empty()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  const ResEntry* found =
      language == MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL) ? PickNeutral(candidates) : PickExact(candidates, language);
  if (!found) {
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HRSRC>(const_cast<ResEntry*>(found));
}

// The data and size behind a handle FindResource gave; false when the
// handle is none of the registered entries.
bool EntryOf(HRSRC handle, const BYTE** data, DWORD* size) {
  const ResEntry* wanted = reinterpret_cast<const ResEntry*>(handle);
  ResourceTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  for (const auto& [module, entries] : t.modules) {
    for (const ResEntry& e : *entries) {
      if (&e != wanted) continue;
      *data = e.data;
      *size = e.size;
      return true;
    }
  }
  return false;
}

}  // namespace

namespace winsim {

bool RegisterModuleResources(HMODULE module, const void* resFile, size_t size) {
  auto entries = std::make_unique<std::vector<ResEntry>>();
  if (!resFile || !process::ParseResFile(resFile, size, entries.get())) return false;
  ResourceTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.modules[Resolve(module)] = std::move(entries);
  return true;
}

bool UnregisterModuleResources(HMODULE module) {
  ResourceTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.modules.erase(Resolve(module)) > 0;
}

}  // namespace winsim

extern "C" {

HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage) {
  return Find(hModule, FromAnsi(lpType), FromAnsi(lpName), wLanguage);
}

HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage) {
  return Find(hModule, FromWide(lpType), FromWide(lpName), wLanguage);
}

HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType) {
  return FindResourceExA(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  return FindResourceExW(hModule, lpType, lpName, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo) {
  if (!hResInfo) return nullptr;
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (!EntryOf(hResInfo, &data, &size)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<BYTE*>(data);
}

LPVOID WINAPI LockResource(HGLOBAL hResData) { return hResData; }

DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo) {
  if (!hResInfo) return 0;
  const BYTE* data = nullptr;
  DWORD size = 0;
  if (!EntryOf(hResInfo, &data, &size)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return size;
}

// Resources stay loaded as long as their module: nothing to free.
BOOL WINAPI FreeResource(HGLOBAL hResData) { return FALSE; }

}  // extern "C"
