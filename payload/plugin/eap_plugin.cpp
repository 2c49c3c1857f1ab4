// The EAP method library "ORV_EapPeap.dll", as the setup program installs
// and registers it. Written as a Windows library: its registration entry
// points write and remove the COM class of the method and its EapHost
// method registration. The Win32 operations it calls come from the program
// that loads it (regsvr32), as a Windows library imports them.
#include "eap_registration.h"
#include "shlwapi.h"
#include "windows.h"

namespace {

HRESULT FromWin32(LONG error) {
  return error == ERROR_SUCCESS ? S_OK
                                : static_cast<HRESULT>((static_cast<uint32_t>(error) & 0xFFFF) | 0x80070000u);
}

// Removes a key tree; a tree that is not there is already removed.
LONG RemoveTree(HKEY root, const char* path) {
  LONG status = SHDeleteKeyA(root, path);
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

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  std::string path;
  if (!eap::OwnPath(&path)) return SELFREG_E_CLASS;
  // A second registration replaces the first completely.
  LONG status = RemoveRegistration();
  if (status == ERROR_SUCCESS) status = eap::WriteClassKeys(path);
  if (status == ERROR_SUCCESS) status = eap::WriteMethodKeys(path);
  return FromWin32(status);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  return FromWin32(RemoveRegistration());
}
