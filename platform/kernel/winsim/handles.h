// Kernel object handles: every HANDLE the layer hands out names one
// reference-counted object; CloseHandle drops that reference.
#pragma once
#include <memory>

#include "windef.h"

namespace winsim {

enum class ObjectKind { Process, Thread, FileMapping, Token, Find, File, Module };

struct KernelObject {
  virtual ~KernelObject() = default;
  virtual ObjectKind Kind() const = 0;
};

// Returns a new handle for the object (never NULL or INVALID_HANDLE_VALUE).
HANDLE NewHandle(std::shared_ptr<KernelObject> object);
// The object behind a handle, or null for an unknown or closed handle.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle, ObjectKind kind) {
  auto object = LookupHandle(handle);
  if (!object || object->Kind() != kind) return nullptr;
  return std::static_pointer_cast<T>(object);
}
// Drops a handle; false when it was not open.
bool ReleaseHandle(HANDLE handle);

// Hook for CloseHandle of kinds that are not in the table (none today).
}  // namespace winsim
