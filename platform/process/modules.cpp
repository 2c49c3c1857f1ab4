// Modules: the running program, the layer's kernel ("kernel32") and host
// shared libraries loaded under their Windows paths, whatever their names.
#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "kernel_objects.h"
#include "launch_env.h"
#include "process_errors.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"
#include "winsim/paths.h"

extern "C" char __executable_start;  // the program's image base (linker-defined)

namespace {

using namespace winsim::process;

char g_kernelModule;  // its address is the kernel module's handle

HMODULE MainModule() { return reinterpret_cast<HMODULE>(&__executable_start); }
HMODULE KernelModule() { return reinterpret_cast<HMODULE>(&g_kernelModule); }

struct Export {
  const char* name;
  FARPROC address;
};

// Through void(*)(), the one function type any other converts to quietly.
template <class F>
FARPROC Proc(F* f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(f));
}

// What GetProcAddress finds in the kernel module.
const Export* KernelExports(size_t* count) {
  static const Export exports[] = {
      {"IsWow64Process", Proc(&IsWow64Process)},
      {"GetCurrentProcess", Proc(&GetCurrentProcess)},
      {"GetCurrentProcessId", Proc(&GetCurrentProcessId)},
      {"GetCommandLineA", Proc(&GetCommandLineA)},
      {"CreateProcessA", Proc(&CreateProcessA)},
      {"WaitForSingleObject", Proc(&WaitForSingleObject)},
      {"GetExitCodeProcess", Proc(&GetExitCodeProcess)},
      {"TerminateProcess", Proc(&TerminateProcess)},
      {"CloseHandle", Proc(&CloseHandle)},
      {"GetModuleHandleA", Proc(&GetModuleHandleA)},
      {"GetProcAddress", Proc(&GetProcAddress)},
      {"LoadLibraryA", Proc(&LoadLibraryA)},
      {"FreeLibrary", Proc(&FreeLibrary)},
      {"GetLastError", Proc(&GetLastError)},
      {"SetLastError", Proc(&SetLastError)},
      {"Sleep", Proc(&Sleep)},
  };
  *count = sizeof exports / sizeof exports[0];
  return exports;
}

struct LoadedModule {
  int references = 0;
  std::string windowsPath;  // ANSI
};

struct ModuleTable {
  std::mutex mutex;
  std::map<void*, LoadedModule> loaded;  // by dlopen handle, which is the HMODULE
};

ModuleTable& Modules() {
  static ModuleTable* table = new ModuleTable;
  return *table;
}

std::u16string BaseName(std::u16string_view path) {
  size_t slash = path.find_last_of(u"\\/");
  return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

bool HasFolder(std::u16string_view name) {
  return name.find_first_of(u"\\/") != std::u16string_view::npos || (name.size() >= 2 && name[1] == u':');
}

// A module name as LoadLibrary takes it: ".dll" added when the file name
// has no '.' at all.
std::u16string WithDllExtension(std::u16string_view name) {
  std::u16string n(name);
  if (BaseName(n).find(u'.') == std::u16string::npos) n += u".dll";
  return n;
}

bool IsKernelName(LPCSTR name) {
  std::u16string base = BaseName(WithDllExtension(winsim::AnsiToUtf16(name)));
  return winsim::EqualsNoCase(base, u"kernel32.dll");
}

// The host file of a library: a path as it stands, a bare name searched in
// the program's folder, the system folders, the current folder and PATH.
bool FindLibrary(LPCSTR name, std::string* host, std::u16string* full) {
  std::u16string n = WithDllExtension(winsim::AnsiToUtf16(name));
  std::vector<std::u16string> candidates;
  if (HasFolder(n)) {
    candidates.push_back(n);
  } else {
    std::string own = WindowsFolderOf(CurrentImagePathA());
    if (!own.empty()) candidates.push_back(winsim::AnsiToUtf16(own) + u"\\" + n);
    candidates.push_back(winsim::SystemDirectory() + u"\\" + n);
    candidates.push_back(winsim::WindowsDirectory() + u"\\" + n);
    std::u16string cwd = winsim::CurrentDirectory();
    candidates.push_back(cwd + (cwd.back() == u'\\' ? u"" : u"\\") + n);
  }
  for (const auto& c : candidates) {
    winsim::ResolvedPath r = winsim::ResolvePath(c);
    if (r.error || !r.exists || r.isDirectory) continue;
    *host = r.host;
    *full = r.full;
    return true;
  }
  return false;
}

// Why dlopen refused a file, in Windows terms.
DWORD LoadError(const char* message) {
  std::string m = message ? message : "";
  if (m.find("undefined symbol") != std::string::npos) return ERROR_PROC_NOT_FOUND;
  if (m.find("cannot open shared object file") != std::string::npos) return ERROR_MOD_NOT_FOUND;
  return ERROR_BAD_EXE_FORMAT;
}

bool CopyModuleName(const std::string& name, LPSTR buffer, DWORD size, DWORD* result) {
  if (size == 0 || !buffer) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    *result = 0;
    return false;
  }
  if (name.size() < size) {
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *result = static_cast<DWORD>(name.size());
    return true;
  }
  // Truncated to the buffer, terminated, and the buffer size returned.
  std::memcpy(buffer, name.data(), size - 1);
  buffer[size - 1] = '\0';
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  *result = size;
  return false;
}

}  // namespace

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  if (!lpModuleName) return MainModule();
  if (IsKernelName(lpModuleName)) return KernelModule();
  std::u16string wanted = BaseName(WithDllExtension(winsim::AnsiToUtf16(lpModuleName)));
  {
    ModuleTable& t = Modules();
    std::lock_guard<std::mutex> lock(t.mutex);
    for (const auto& [handle, module] : t.loaded) {
      if (winsim::EqualsNoCase(BaseName(winsim::AnsiToUtf16(module.windowsPath)), wanted)) {
        return static_cast<HMODULE>(handle);
      }
    }
  }
  if (winsim::EqualsNoCase(wanted, BaseName(winsim::AnsiToUtf16(CurrentImagePathA())))) return MainModule();
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
  if (!lpLibFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (IsKernelName(lpLibFileName)) return KernelModule();
  std::string host;
  std::u16string full;
  if (!*lpLibFileName || !FindLibrary(lpLibFileName, &host, &full)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* handle = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    SetLastError(LoadError(dlerror()));
    return nullptr;
  }
  ModuleTable& t = Modules();
  std::lock_guard<std::mutex> lock(t.mutex);
  LoadedModule& module = t.loaded[handle];
  if (module.references++ == 0) module.windowsPath = winsim::Utf16ToAnsi(full);
  else dlclose(handle);  // dlopen counted it again; the table keeps one reference
  return static_cast<HMODULE>(handle);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  if (!hLibModule) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (hLibModule == KernelModule() || hLibModule == MainModule()) return TRUE;
  void* toClose = nullptr;
  {
    ModuleTable& t = Modules();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.loaded.find(hLibModule);
    if (it == t.loaded.end()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    if (--it->second.references == 0) {
      toClose = it->first;
      t.loaded.erase(it);
    }
  }
  if (toClose) dlclose(toClose);
  return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  // Ordinals (values below 0x10000) are not exported by these modules.
  if (!lpProcName || reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (hModule == KernelModule()) {
    size_t count = 0;
    const Export* exports = KernelExports(&count);
    for (size_t i = 0; i < count; ++i) {
      if (std::strcmp(exports[i].name, lpProcName) == 0) return exports[i].address;
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (!hModule || hModule == MainModule()) {
    SetLastError(ERROR_PROC_NOT_FOUND);  // the program exports nothing
    return nullptr;
  }
  {
    ModuleTable& t = Modules();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!t.loaded.count(hModule)) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
  }
  void* address = dlsym(hModule, lpProcName);
  if (!address) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(address);
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string name;
  if (!hModule || hModule == MainModule()) {
    name = CurrentImagePathA();
  } else if (hModule == KernelModule()) {
    name = winsim::Utf16ToAnsi(winsim::SystemDirectory()) + "\\kernel32.dll";
  } else {
    ModuleTable& t = Modules();
    std::lock_guard<std::mutex> lock(t.mutex);
    auto it = t.loaded.find(hModule);
    if (it == t.loaded.end()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    name = it->second.windowsPath;
  }
  DWORD result = 0;
  CopyModuleName(name, lpFilename, nSize, &result);
  return result;
}

extern "C" BOOL WINAPI IsWow64Process(HANDLE hProcess, PBOOL Wow64Process) {
  bool self = hProcess == CurrentProcessPseudoHandle();
  if (!self) {
    auto process = winsim::LookupHandleAs<ProcessObject>(hProcess, winsim::ObjectKind::Process);
    if (!process) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    self = process->record->Pid() == getpid();
  }
  if (!Wow64Process) {
    SetLastError(ERROR_NOACCESS);
    return FALSE;
  }
  // The word size of other processes is not tracked: they count as native.
  *Wow64Process = self && winsim::IsWow64() ? TRUE : FALSE;
  return TRUE;
}
