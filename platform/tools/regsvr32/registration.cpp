#include "registration.h"

#include <cstdio>

#include "windows.h"
#include "winsim/codepage.h"

namespace regsvr32 {
namespace {

using EntryPoint = HRESULT (*)();
using InstallEntry = HRESULT (*)(BOOL install, LPCWSTR commandLine);

std::string LoadErrorText(DWORD error, const std::string& library) {
  switch (error) {
    case ERROR_MOD_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "The specified module could not be found.";
    case ERROR_PROC_NOT_FOUND:
      return "The specified procedure could not be found.";
    case ERROR_BAD_EXE_FORMAT:
      return library + " is not a valid Win32 application.";
    default: {
      char text[64];
      std::snprintf(text, sizeof text, "Error 0x%08lx.", static_cast<unsigned long>(error));
      return text;
    }
  }
}

Outcome LoadFailed(const std::string& library, DWORD error) {
  return {kLoadFailed, "The module \"" + library +
                           "\" failed to load.\n\nMake sure the binary is stored at the specified path or debug it "
                           "to check for problems with the binary or dependent .DLL files.\n\n" +
                           LoadErrorText(error, library)};
}

Outcome EntryMissing(const std::string& library, const char* entry) {
  return {kEntryMissing, "The module \"" + library + "\" was loaded but the entry-point " + entry +
                             " was not found.\n\nMake sure that \"" + library +
                             "\" is a valid DLL or OCX file and then try again."};
}

Outcome CallFailed(const std::string& library, const char* entry, HRESULT result) {
  char code[16];
  std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(static_cast<uint32_t>(result)));
  return {kCallFailed, "The module \"" + library + "\" was loaded but the call to " + entry +
                           " failed with error code " + code +
                           ".\n\nFor more information about this problem, search online using the error code as "
                           "the search term."};
}

// The calls in the order regsvr32 makes them: registration before
// DllInstall, uninstall before unregistration.
Outcome Call(HMODULE module, const std::string& library, const Request& request) {
  const char* entry = request.unregister ? "DllUnregisterServer" : "DllRegisterServer";
  EntryPoint registration = nullptr;
  InstallEntry install = nullptr;
  if (!request.noRegister) {
    registration = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(module, entry)));
    if (!registration) return EntryMissing(library, entry);
  }
  if (request.install) {
    install = reinterpret_cast<InstallEntry>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllInstall")));
    if (!install) return EntryMissing(library, "DllInstall");
  }
  std::u16string installArgs = winsim::AnsiToUtf16(request.installArgs);
  auto runInstall = [&]() { return install(request.unregister ? FALSE : TRUE, installArgs.c_str()); };
  if (install && request.unregister) {
    if (HRESULT hr = runInstall(); FAILED(hr)) return CallFailed(library, "DllInstall", hr);
  }
  if (registration) {
    if (HRESULT hr = registration(); FAILED(hr)) return CallFailed(library, entry, hr);
  }
  if (install && !request.unregister) {
    if (HRESULT hr = runInstall(); FAILED(hr)) return CallFailed(library, "DllInstall", hr);
  }
  std::string done = !install        ? std::string(entry)
                     : registration ? std::string(entry) + " and DllInstall"
                                    : std::string("DllInstall");
  return {kSuccess, done + " in " + library + " succeeded."};
}

}  // namespace

Outcome RegisterLibrary(const std::string& library, const Request& request) {
  HMODULE module = LoadLibraryA(library.c_str());
  if (!module) return LoadFailed(library, GetLastError());
  Outcome outcome = Call(module, library, request);
  FreeLibrary(module);
  return outcome;
}

}  // namespace regsvr32
