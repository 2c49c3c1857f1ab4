// Code page 949 text, invalid sequences, and files with a UTF-8 or UTF-16
// byte order mark, read and rewritten.
#include <string>

#include "profile_test_support.h"

namespace profile_test {
namespace {

using namespace std::string_literals;

class ProfileEncodings : public ProfileTest {};

const std::string kSeol = "\xBC\xB3\xC1\xA4";  // a second Korean word in CP949

std::string Utf16LE(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out += c;
    out += '\0';
  }
  return out;
}

TEST_F(ProfileEncodings, Cp949NamesAndValues) {
  std::string file = MakeIni("cp949.ini", "[" + kHangul949 + "]\r\n" + kSeol + "=" + kHangul949 + " " + kSeol + "\r\n");
  ReadOutcome out = GetString(kHangul949.c_str(), kSeol.c_str(), "d", 64, file);
  ExpectStringReply(out, kHangul949 + " " + kSeol);
  EXPECT_EQ(0u, out.error);
  ExpectListReply(GetString(nullptr, nullptr, "d", 64, file), kHangul949 + '\0');
  ExpectListReply(GetString(kHangul949.c_str(), nullptr, "d", 64, file), kSeol + '\0');
}

TEST_F(ProfileEncodings, InvalidSequencesWithoutBom) {
  std::string file = MakeIni("invalid.ini", "[S]\r\nbad=A\x80Z\xFFQ\xC7\r\nutf8=" + kHangulUtf8 + "\r\n");
  ExpectStringReply(GetString("S", "bad", "d", 64, file), "A\x80Z\xFFQ?");
  ExpectStringReply(GetString("S", "utf8", "d", 64, file), "?\x9C\xEA?");
}

TEST_F(ProfileEncodings, Utf8BomFile) {
  std::string file = MakeIni("utf8.ini", "\xEF\xBB\xBF[First]\r\nhan=" + kHangulUtf8 + "\r\n");
  ExpectStringReply(GetString("First", "han", "d", 64, file), kHangul949);
  ExpectListReply(GetString(nullptr, nullptr, "d", 64, file), "First\0"s);

  ASSERT_TRUE(WritePrivateProfileStringA("First", "new", kHangul949.c_str(), file.c_str()));
  EXPECT_EQ(Escaped("\xEF\xBB\xBF[First]\r\nhan=" + kHangulUtf8 + "\r\nnew=" + kHangulUtf8 + "\r\n"),
            Escaped(ReadIni("utf8.ini")));
}

TEST_F(ProfileEncodings, Utf16LeBomFile) {
  std::string file = MakeIni("utf16.ini", "\xFF\xFE" + Utf16LE("[S]\r\nhan=") + kHangulUtf16 + Utf16LE("\r\n"));
  ExpectStringReply(GetString("S", "han", "d", 64, file), kHangul949);
  ExpectListReply(GetString("S", nullptr, "d", 64, file), "han\0"s);

  ASSERT_TRUE(WritePrivateProfileStringA("S", "v", kHangul949.c_str(), file.c_str()));
  EXPECT_EQ(Escaped("\xFF\xFE" + Utf16LE("[S]\r\nhan=") + kHangulUtf16 + Utf16LE("\r\nv=") + kHangulUtf16 +
                    Utf16LE("\r\n")),
            Escaped(ReadIni("utf16.ini")));
}

TEST_F(ProfileEncodings, Utf16BeBomFileStaysBigEndian) {
  std::string be = "\xFE\xFF"s + "\0[\0S\0]\0\r\0\n\0k\0=\0\x31\0\r\0\n"s;
  std::string file = MakeIni("utf16be.ini", be);
  ExpectStringReply(GetString("S", "k", "d", 64, file), "1");
  ASSERT_TRUE(WritePrivateProfileStringA("S", "k", "2", file.c_str()));
  EXPECT_EQ(Escaped("\xFE\xFF"s + "\0[\0S\0]\0\r\0\n\0k\0=\0\x32\0\r\0\n"s), Escaped(ReadIni("utf16be.ini")));
}

TEST_F(ProfileEncodings, Cp949ValueWrittenUnchanged) {
  std::string file = WinPath("han.ini");
  std::string value = kHangul949 + " " + kSeol;
  ASSERT_TRUE(WritePrivateProfileStringA("S", "han", value.c_str(), file.c_str()));
  EXPECT_EQ(Escaped("[S]\r\nhan=" + value + "\r\n"), Escaped(ReadIni("han.ini")));
  ASSERT_TRUE(WritePrivateProfileStringA(kHangul949.c_str(), kSeol.c_str(), "x", file.c_str()));
  EXPECT_EQ(Escaped("[S]\r\nhan=" + value + "\r\n[" + kHangul949 + "]\r\n" + kSeol + "=x\r\n"),
            Escaped(ReadIni("han.ini")));
}

// The wide functions take and give UTF-16; the file stays in the code page.
TEST_F(ProfileEncodings, WideFunctions) {
  const std::u16string file = u"C:\\ProfileTests\\wide.ini";
  const std::u16string han = u"\xD55C\xAE00";
  ASSERT_TRUE(WritePrivateProfileStringW(han.c_str(), u"k", (han + han).c_str(), file.c_str()));
  EXPECT_EQ(Escaped("[" + kHangul949 + "]\r\nk=" + kHangul949 + kHangul949 + "\r\n"), Escaped(ReadIni("wide.ini")));

  std::u16string buf(8, u'\xCCCC');
  SetLastError(kUntouchedError);
  EXPECT_EQ(3u, GetPrivateProfileStringW(han.c_str(), u"K", u"d", buf.data(), 4, file.c_str()));
  EXPECT_EQ(0u, GetLastError());
  EXPECT_EQ(han + u"\xD55C" + u'\0' + u"\xCCCC\xCCCC\xCCCC\xCCCC", buf);

  buf.assign(8, u'\xCCCC');
  EXPECT_EQ(3u, GetPrivateProfileStringW(nullptr, nullptr, nullptr, buf.data(), 8, file.c_str()));
  EXPECT_EQ(han + u'\0' + u'\0', buf.substr(0, 4));
}

}  // namespace
}  // namespace profile_test
