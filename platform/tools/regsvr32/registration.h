// What regsvr32 does with one library: load it, call its registration
// entry points, and say how that went.
#pragma once
#include <string>

namespace regsvr32 {

// regsvr32's exit codes.
constexpr int kSuccess = 0;
constexpr int kBadArguments = 1;
constexpr int kLoadFailed = 3;
constexpr int kEntryMissing = 4;
constexpr int kCallFailed = 5;

struct Request {
  bool unregister = false;   // /u
  bool install = false;      // /i: call DllInstall
  bool noRegister = false;   // /n: DllInstall only
  std::string installArgs;   // /i:<text>, ANSI
};

struct Outcome {
  int exitCode = kSuccess;
  std::string message;  // ANSI, as regsvr32 shows it
};

Outcome RegisterLibrary(const std::string& library, const Request& request);

}  // namespace regsvr32
