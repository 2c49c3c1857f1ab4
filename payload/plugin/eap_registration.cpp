#include "eap_registration.h"

namespace eap {
namespace {

// The library's own file name: a library finds its module handle by it.
constexpr const char* kModuleName = "ORV_EapPeap.dll";

// EapHost method properties: supports MPPE keys, mutual authentication,
// integrity, replay protection, confidentiality, session independence,
// fragmentation, channel binding and the NAP, standalone, machine and
// user-auth modes.
constexpr DWORD kMethodProperties = 0x3A8FF4B0;

class Key {
 public:
  Key(HKEY root, const std::string& path) {
    status_ = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                              &key_, nullptr);
  }
  ~Key() {
    if (status_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  LONG Status() const { return status_; }

  Key& Text(const char* name, const std::string& text, DWORD type = REG_SZ) {
    if (status_ == ERROR_SUCCESS) {
      status_ = RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1));
    }
    return *this;
  }
  Key& Number(const char* name, DWORD value) {
    if (status_ == ERROR_SUCCESS) {
      status_ = RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    return *this;
  }

 private:
  HKEY key_ = nullptr;
  LONG status_;
};

}  // namespace

bool OwnPath(std::string* path) {
  HMODULE self = GetModuleHandleA(kModuleName);
  if (!self) return false;
  char buffer[MAX_PATH];
  DWORD length = GetModuleFileNameA(self, buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return false;
  path->assign(buffer, length);
  return true;
}

LONG WriteClassKeys(const std::string& libraryPath) {
  LONG status = Key(HKEY_CLASSES_ROOT, kClassKey).Text(nullptr, kClassDescription).Status();
  if (status != ERROR_SUCCESS) return status;
  return Key(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32")
      .Text(nullptr, libraryPath)
      .Text("ThreadingModel", "Both")
      .Status();
}

LONG WriteMethodKeys(const std::string& libraryPath) {
  return Key(HKEY_LOCAL_MACHINE, kMethodKey)
      .Text("PeerDllPath", libraryPath, REG_EXPAND_SZ)
      .Text("PeerConfigUIPath", libraryPath, REG_EXPAND_SZ)
      .Text("PeerIdentityPath", libraryPath, REG_EXPAND_SZ)
      .Text("PeerInteractiveUIPath", libraryPath, REG_EXPAND_SZ)
      .Text("PeerFriendlyName", kFriendlyName)
      .Text("PeerClsid", kClassId)
      .Number("PeerInvokePasswordDialog", 0)
      .Number("PeerInvokeUsernameDialog", 0)
      .Number("Properties", kMethodProperties)
      .Status();
}

}  // namespace eap
