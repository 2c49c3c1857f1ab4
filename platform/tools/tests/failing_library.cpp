// A library whose registration fails, for regsvr32's exit code 5.
#include "windows.h"

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() { return E_FAIL; }
extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() { return SELFREG_E_CLASS; }
