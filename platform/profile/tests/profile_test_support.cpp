#include "profile_test_support.h"

#include <cstdio>
#include <filesystem>

#include "machine_fixture.h"
#include "winsim/machine.h"

namespace profile_test {

void ProfileTest::SetUp() {
  machine_ = winsim::testing::FreshMachine();
  folder_ = winsim::DriveCRoot() + "/ProfileTests";
  std::filesystem::create_directories(folder_);
}

std::string ProfileTest::MakeIni(const std::string& name, const std::string& bytes) const {
  winsim::testing::WriteHostFile(HostPath(name), bytes);
  return WinPath(name);
}

std::string ProfileTest::ReadIni(const std::string& name) const {
  return winsim::testing::ReadHostFile(HostPath(name));
}

ReadOutcome GetString(const char* section, const char* key, const char* dflt, DWORD nSize, const std::string& file) {
  ReadOutcome out;
  out.buffer.assign(nSize + 8, static_cast<char>(kSentinel));
  SetLastError(kUntouchedError);
  out.ret = GetPrivateProfileStringA(section, key, dflt, out.buffer.data(), nSize, file.c_str());
  out.error = GetLastError();
  return out;
}

namespace {

void ExpectRestUntouched(const ReadOutcome& out, size_t from) {
  for (size_t i = from; i < out.buffer.size(); ++i)
    EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[i])) << "byte " << i << " was written";
}

}  // namespace

void ExpectStringReply(const ReadOutcome& out, const std::string& expected) {
  EXPECT_EQ(expected.size(), out.ret);
  EXPECT_EQ(Escaped(expected + '\0'), Escaped(out.buffer.substr(0, expected.size() + 1)));
  ExpectRestUntouched(out, expected.size() + 1);
}

void ExpectListReply(const ReadOutcome& out, const std::string& namesWithNuls) {
  EXPECT_EQ(namesWithNuls.size(), out.ret);
  EXPECT_EQ(Escaped(namesWithNuls + '\0'), Escaped(out.buffer.substr(0, namesWithNuls.size() + 1)));
  ExpectRestUntouched(out, namesWithNuls.size() + 1);
}

std::string Escaped(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\\') out += "\\\\";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == 0) out += "\\0";
    else if (c < 0x20 || c >= 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace profile_test
