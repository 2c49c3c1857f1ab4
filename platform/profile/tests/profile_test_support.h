// Shared helpers of the profile tests: a fresh machine per test, ini files
// written and read on the host, and calls with sentinel-filled buffers.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "windows.h"

namespace profile_test {

constexpr unsigned char kSentinel = 0xCC;
constexpr DWORD kUntouchedError = 0xdeadbeef;

// The Korean word for "Hangul" (U+D55C U+AE00) in code page 949, UTF-8 and
// UTF-16LE.
inline const std::string kHangul949 = "\xC7\xD1\xB1\xDB";
inline const std::string kHangulUtf8 = "\xED\x95\x9C\xEA\xB8\x80";
inline const std::string kHangulUtf16 = std::string("\x5C\xD5\x00\xAE", 4);

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // A Windows path in the test's own folder C:\ProfileTests, and its host path.
  std::string WinPath(const std::string& name) const { return "C:\\ProfileTests\\" + name; }
  std::string HostPath(const std::string& name) const { return folder_ + "/" + name; }

  // Writes `bytes` as the file `name` of the test folder; returns its Windows path.
  std::string MakeIni(const std::string& name, const std::string& bytes) const;
  std::string ReadIni(const std::string& name) const;

  std::string machine_;
  std::string folder_;
};

// The outcome of one GetPrivateProfileStringA call: return value, last error
// and the whole buffer (nSize bytes plus 8 sentinel bytes, all pre-filled
// with 0xCC before the call).
struct ReadOutcome {
  DWORD ret = 0;
  DWORD error = 0;
  std::string buffer;
};
ReadOutcome GetString(const char* section, const char* key, const char* dflt, DWORD nSize, const std::string& file);

// The bytes written by a non-list read: `ret` bytes and a NUL, with
// everything after it still the sentinel.
void ExpectStringReply(const ReadOutcome& out, const std::string& expected);

// Same for a list: the names each followed by NUL, then the final NUL.
void ExpectListReply(const ReadOutcome& out, const std::string& namesWithNuls);

// Readable rendering of bytes (C escapes) for failure messages.
std::string Escaped(const std::string& bytes);

}  // namespace profile_test
