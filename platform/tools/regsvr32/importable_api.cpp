// The operations a library loaded by regsvr32 may call. A Windows library
// imports them from the process's system libraries; here a library's
// undefined symbols resolve against the program that loads it (the program
// exports its symbols), so every such operation must be linked into the
// program even when regsvr32 itself does not call it.
#include "shlwapi.h"
#include "windows.h"

namespace {

template <class F>
const void* Address(F* function) {
  return reinterpret_cast<const void*>(function);
}

}  // namespace

extern "C" __attribute__((used)) const void* const regsvr32_importable_api[] = {
    // Registry.
    Address(&RegCreateKeyExA), Address(&RegCreateKeyExW), Address(&RegOpenKeyExA), Address(&RegOpenKeyExW),
    Address(&RegOpenKeyA), Address(&RegCloseKey), Address(&RegSetValueExA), Address(&RegSetValueExW),
    Address(&RegQueryValueExA), Address(&RegQueryValueExW), Address(&RegEnumKeyExA), Address(&RegEnumValueA),
    Address(&RegDeleteValueA), Address(&RegDeleteKeyA), Address(&SHDeleteKeyA),
    // Modules, errors and strings.
    Address(&GetModuleHandleA), Address(&GetModuleFileNameA), Address(&GetLastError), Address(&SetLastError),
    Address(&MultiByteToWideChar), Address(&WideCharToMultiByte), Address(&lstrlenA),
};
