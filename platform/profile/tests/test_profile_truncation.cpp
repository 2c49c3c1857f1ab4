// Values that do not fit the caller's buffer, including double-byte
// characters of code page 949 that never get split.
#include <algorithm>
#include <string>

#include "profile_test_support.h"

namespace profile_test {
namespace {

class ProfileTruncation : public ProfileTest {};

std::string Hangul(size_t count) {
  std::string s;
  for (size_t i = 0; i < count; ++i) s += (i % 2 == 0) ? "\xC7\xD1" : "\xB1\xDB";
  return s;
}

TEST_F(ProfileTruncation, MeasuredRows) {
  std::string file = MakeIni("trunc.ini",
                             "[T]\r\nlong=0123456789ABCDEF\r\nnine=123456789\r\nten=0123456789\r\nhan7=" + Hangul(7) +
                                 "\r\nmixed=1234567" + Hangul(2) + "\r\n");
  struct Row {
    const char* name;
    const char* key;
    const char* dflt;
    DWORD nSize;
    std::string bytes;  // bytes before the terminator
    DWORD ret;
    size_t terminatorAt;
    DWORD error;
  };
  const Row rows[] = {
      {"16 chars into 10", "long", "d", 10, "012345678", 9, 9, 0},
      {"9 chars into 10", "nine", "d", 10, "123456789", 9, 9, 0},
      {"10 chars into 10", "ten", "d", 10, "012345678", 9, 9, 0},
      {"long default into 10", "nokey", "0123456789ABCDEF", 10, "012345678", 9, 9, ERROR_FILE_NOT_FOUND},
      {"nSize 1", "long", "d", 1, "", 0, 0, 0},
      {"7 Hangul into 10", "han7", "d", 10, Hangul(4), 9, 9, ERROR_INSUFFICIENT_BUFFER},
      {"7 Hangul into 9", "han7", "d", 9, Hangul(4), 8, 8, ERROR_INSUFFICIENT_BUFFER},
      {"ASCII+Hangul into 9", "mixed", "d", 9, "1234567", 8, 8, ERROR_INSUFFICIENT_BUFFER},
      {"ASCII+Hangul into 10", "mixed", "d", 10, "1234567" + Hangul(1), 9, 9, ERROR_INSUFFICIENT_BUFFER},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ReadOutcome out = GetString("T", row.key, row.dflt, row.nSize, file);
    EXPECT_EQ(row.ret, out.ret);
    EXPECT_EQ(row.error, out.error);
    EXPECT_EQ(Escaped(row.bytes), Escaped(out.buffer.substr(0, row.bytes.size())));
    // A byte a whole character did not fit into keeps its old content.
    for (size_t i = row.bytes.size(); i < row.terminatorAt; ++i)
      EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[i])) << "byte " << i;
    EXPECT_EQ('\0', out.buffer[row.terminatorAt]);
    for (size_t i = row.terminatorAt + 1; i < out.buffer.size(); ++i)
      EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[i])) << "byte " << i;
  }
}

TEST_F(ProfileTruncation, SizeZeroTouchesNothing) {
  std::string file = MakeIni("zero.ini", "[T]\r\nk=value\r\n");
  ReadOutcome out = GetString("T", "k", "d", 0, file);
  EXPECT_EQ(0u, out.ret);
  EXPECT_EQ(kUntouchedError, out.error);
  EXPECT_EQ(std::string(8, static_cast<char>(kSentinel)), out.buffer);
}

// Every buffer size around an ASCII value: the first nSize-1 characters
// and a terminator, nothing else written.
TEST_F(ProfileTruncation, EverySizeAroundAnAsciiValue) {
  const std::string value = "abcdefghijklmnopqrst";
  std::string file = MakeIni("ascii.ini", "[T]\r\nk=" + value + "\r\n");
  for (DWORD n = 1; n <= value.size() + 3; ++n) {
    SCOPED_TRACE("nSize " + std::to_string(n));
    ReadOutcome out = GetString("T", "k", "d", n, file);
    ExpectStringReply(out, value.substr(0, std::min<size_t>(value.size(), n - 1)));
    EXPECT_EQ(0u, out.error);
  }
}

// Every buffer size around a value of double-byte characters: whole
// characters only; when the last one does not fit the return value is
// still nSize-1 with ERROR_INSUFFICIENT_BUFFER, and the byte it would have
// taken keeps its old content.
TEST_F(ProfileTruncation, EverySizeAroundADoubleByteValue) {
  const size_t chars = 6;
  std::string file = MakeIni("dbcs.ini", "[T]\r\nk=" + Hangul(chars) + "\r\n");
  for (DWORD n = 1; n <= 2 * chars + 3; ++n) {
    SCOPED_TRACE("nSize " + std::to_string(n));
    ReadOutcome out = GetString("T", "k", "d", n, file);
    size_t copied = std::min<size_t>(chars, n - 1);  // characters the wide call keeps
    if (2 * copied <= n - 1) {
      ExpectStringReply(out, Hangul(copied));
      EXPECT_EQ(0u, out.error);
      continue;
    }
    size_t whole = (n - 1) / 2;
    EXPECT_EQ(n - 1, out.ret);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), out.error);
    EXPECT_EQ(Escaped(Hangul(whole)), Escaped(out.buffer.substr(0, 2 * whole)));
    for (size_t i = 2 * whole; i < n - 1; ++i) EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[i]));
    EXPECT_EQ('\0', out.buffer[n - 1]);
    EXPECT_EQ(kSentinel, static_cast<unsigned char>(out.buffer[n]));
  }
}

TEST_F(ProfileTruncation, LongValuesAndNamesHaveNoLimit) {
  std::string big(70000, 'v');
  std::string section(1500, 's');
  std::string key(1500, 'k');
  std::string file = MakeIni("long.ini", "[" + section + "]\r\n" + key + "=" + big + "\r\nmid=" + big.substr(0, 2000) + "\r\n");
  ExpectStringReply(GetString(section.c_str(), key.c_str(), "d", 70001, file), big);
  ExpectStringReply(GetString(section.c_str(), "mid", "d", 2001, file), big.substr(0, 2000));
  ExpectStringReply(GetString(section.c_str(), key.c_str(), "d", 1024, file), big.substr(0, 1023));
  ExpectStringReply(GetString(section.c_str(), key.c_str(), "d", 65536, file), big.substr(0, 65535));
}

}  // namespace
}  // namespace profile_test
