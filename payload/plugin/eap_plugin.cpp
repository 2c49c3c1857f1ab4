// The EAP method library "ORV_EapPeap.dll", as the setup program installs
// and registers it. Written as a Windows library: its registration entry
// points write and remove the COM class of the method and its EapHost
// method registration. It calls the registry and module operations of
// advapi32 and kernel32 only.
#include "eap_registration.h"
#include "key_tree.h"
#include "windows.h"

namespace {

// SELFREG_E_CLASS of <olectl.h>: the class could not be registered.
constexpr HRESULT kClassNotRegistered = static_cast<HRESULT>(0x80040201u);

HRESULT FromWin32(LONG error) {
  return error == ERROR_SUCCESS ? S_OK
                                : static_cast<HRESULT>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

// Removes a key tree; a tree that is not there is already removed.
LONG RemoveTree(HKEY root, const char* path) {
  LONG status = eap::DeleteKeyTree(root, path);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LONG RemoveRegistration() {
  LONG status = RemoveTree(HKEY_CLASSES_ROOT, eap::kClassKey);
  if (status == ERROR_SUCCESS) status = RemoveTree(HKEY_LOCAL_MACHINE, eap::kMethodKey);
  // The author's key goes too once it holds no other method of ours.
  if (status == ERROR_SUCCESS) RegDeleteKeyA(HKEY_LOCAL_MACHINE, eap::kAuthorKey);
  return status;
}

}  // namespace

// The two entry points are the library's only exports: a shared object
// exports what has default visibility, the DLL what ORV_EapPeap.def lists
// (by the plain names, without the stdcall decoration of a 32-bit build).
extern "C" __attribute__((visibility("default"))) HRESULT WINAPI DllRegisterServer() {
  std::string path;
  if (!eap::OwnPath(&path)) return kClassNotRegistered;
  // A second registration replaces the first completely.
  LONG status = RemoveRegistration();
  if (status == ERROR_SUCCESS) status = eap::WriteClassKeys(path);
  if (status == ERROR_SUCCESS) status = eap::WriteMethodKeys(path);
  return FromWin32(status);
}

extern "C" __attribute__((visibility("default"))) HRESULT WINAPI DllUnregisterServer() {
  return FromWin32(RemoveRegistration());
}
