// MultiByteToWideChar / WideCharToMultiByte and the code page tables, in
// the machine's default code page 949.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "windows.h"
#include "winsim/codepage.h"

namespace {

const char kHangulAnsi[] = "\xC7\xD1\xB1\xDB";    // "한글" in code page 949
const char16_t kHangulWide[] = {0xD55C, 0xAE00, 0}; // the same in UTF-16

TEST(CodePage, AnsiCodePageIs949ByDefault) {
  EXPECT_EQ(949u, GetACP());
  EXPECT_EQ(949u, GetOEMCP());
  EXPECT_TRUE(IsValidCodePage(949));
  EXPECT_TRUE(IsValidCodePage(CP_UTF8));
  EXPECT_FALSE(IsValidCodePage(12345));
}

struct DecodeRow {
  const char* name;
  UINT codepage;
  std::string bytes;
  std::u16string expected;
};

TEST(MultiByteToWideChar, DecodesRows) {
  const std::vector<DecodeRow> rows = {
      {"ascii", CP_ACP, "abc", u"abc"},
      {"hangul", CP_ACP, kHangulAnsi, kHangulWide},
      {"thread acp", CP_THREAD_ACP, kHangulAnsi, kHangulWide},
      {"explicit 949", 949, kHangulAnsi, kHangulWide},
      {"0x80 and 0xFF stand alone", CP_ACP, "A\x80Z\xFFQ", u"A\u0080Z\uF8F7Q"},
      {"lone lead byte at the end", CP_ACP, "Q\xC7", u"Q?"},
      {"lead byte takes an invalid trail with it", CP_ACP, "\xED\x95!", u"?!"},
      {"utf8 hangul", CP_UTF8, "\xED\x95\x9C\xEA\xB8\x80", kHangulWide},
      {"utf8 invalid byte", CP_UTF8, "a\xFFz", u"a\uFFFDz"},
      {"utf8 truncated sequence", CP_UTF8, "a\xED\x95", u"a\uFFFD"},
      {"latin-1 in 1252", 1252, "caf\xE9", u"caf\u00E9"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WCHAR buf[32];
    std::memset(buf, 0xCC, sizeof buf);
    SetLastError(0xdeadbeef);
    int n = MultiByteToWideChar(row.codepage, 0, row.bytes.data(), static_cast<int>(row.bytes.size()), buf, 32);
    ASSERT_EQ(static_cast<int>(row.expected.size()), n);
    EXPECT_EQ(row.expected, std::u16string(buf, static_cast<size_t>(n)));
    EXPECT_EQ(0xCCCCu, static_cast<unsigned>(buf[n])) << "wrote past the result";
    EXPECT_EQ(0xdeadbeefu, GetLastError()) << "success must not touch the last error";
  }
}

TEST(MultiByteToWideChar, SizesAndErrors) {
  WCHAR buf[8];
  // -1 counts the terminator; a size query returns the same count.
  EXPECT_EQ(3, MultiByteToWideChar(CP_ACP, 0, kHangulAnsi, -1, nullptr, 0));
  EXPECT_EQ(3, MultiByteToWideChar(CP_ACP, 0, kHangulAnsi, -1, buf, 8));
  EXPECT_EQ(0, buf[2]);

  std::memset(buf, 0xCC, sizeof buf);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(0, MultiByteToWideChar(CP_ACP, 0, kHangulAnsi, -1, buf, 1));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
  EXPECT_EQ(0xD55C, buf[0]) << "the part that fits is written";
  EXPECT_EQ(0xCCCCu, static_cast<unsigned>(buf[1]));

  struct { const char* name; UINT cp; DWORD flags; const char* src; int cb; WCHAR* dst; int cch; DWORD err; } rows[] = {
      {"null source", CP_ACP, 0, nullptr, 3, buf, 8, ERROR_INVALID_PARAMETER},
      {"zero length", CP_ACP, 0, "abc", 0, buf, 8, ERROR_INVALID_PARAMETER},
      {"negative buffer", CP_ACP, 0, "abc", 3, buf, -2, ERROR_INVALID_PARAMETER},
      {"null buffer with size", CP_ACP, 0, "abc", 3, nullptr, 8, ERROR_INVALID_PARAMETER},
      {"unknown code page", 12345, 0, "abc", 3, buf, 8, ERROR_INVALID_PARAMETER},
      {"utf8 with composite flag", CP_UTF8, MB_PRECOMPOSED, "abc", 3, buf, 8, ERROR_INVALID_FLAGS},
      {"strict invalid 949", CP_ACP, MB_ERR_INVALID_CHARS, "\xC7", 1, buf, 8, ERROR_NO_UNICODE_TRANSLATION},
      {"strict invalid utf8", CP_UTF8, MB_ERR_INVALID_CHARS, "\xFF", 1, buf, 8, ERROR_NO_UNICODE_TRANSLATION},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, MultiByteToWideChar(row.cp, row.flags, row.src, row.cb, row.dst, row.cch));
    EXPECT_EQ(row.err, GetLastError());
  }
}

// Bytes that cannot start a UTF-8 sequence: F5-FF (they would reach beyond
// U+10FFFF) and the continuation bytes. Strict decoding fails on them with
// ERROR_NO_UNICODE_TRANSLATION; otherwise each stray byte is one U+FFFD.
TEST(MultiByteToWideChar, Utf8BytesThatStartNothing) {
  struct Row {
    const char* name;
    std::string bytes;
    std::u16string lenient;
  } rows[] = {
      {"F5 before two continuations", "\xF5\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"FC 98 80 is no U+C600", "\xFC\x98\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"FD A0 80 is no lone surrogate", "\xFD\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"FE and FF alone", "a\xFE\xFF" "b", u"a\uFFFD\uFFFDb"},
      {"F8 with four continuations", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"F4 90 is beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"lone continuation", "\x80", u"\uFFFD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const int size = static_cast<int>(row.bytes.size());
    WCHAR buf[16];
    std::memset(buf, 0xCC, sizeof buf);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, row.bytes.data(), size, buf, 16));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    EXPECT_EQ(0xCCCCu, static_cast<unsigned>(buf[0])) << "a failed call writes nothing";

    int n = MultiByteToWideChar(CP_UTF8, 0, row.bytes.data(), size, buf, 16);
    ASSERT_EQ(static_cast<int>(row.lenient.size()), n);
    EXPECT_EQ(row.lenient, std::u16string(buf, static_cast<size_t>(n)));
  }
  // The highest valid lead bytes still decode.
  WCHAR buf[4];
  ASSERT_EQ(2, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xF4\x8F\xBF\xBF", 4, buf, 4));
  EXPECT_EQ(0xDBFF, buf[0]);
  EXPECT_EQ(0xDFFF, buf[1]);
  ASSERT_EQ(1, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xEF\xBF\xBD", 3, buf, 4));
  EXPECT_EQ(0xFFFD, buf[0]);
}

TEST(WideCharToMultiByte, EncodesAndNeverSplitsACharacter) {
  char buf[16];
  EXPECT_EQ(5, WideCharToMultiByte(CP_ACP, 0, kHangulWide, -1, nullptr, 0, nullptr, nullptr));
  ASSERT_EQ(5, WideCharToMultiByte(CP_ACP, 0, kHangulWide, -1, buf, 16, nullptr, nullptr));
  EXPECT_STREQ(kHangulAnsi, buf);

  // Three bytes of room hold one Hangul character, never one and a half.
  std::memset(buf, 0xCC, sizeof buf);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, kHangulWide, 2, buf, 3, nullptr, nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
  EXPECT_EQ('\xC7', buf[0]);
  EXPECT_EQ('\xD1', buf[1]);
  EXPECT_EQ('\xCC', buf[2]) << "half a character was written";
}

TEST(WideCharToMultiByte, DefaultCharacter) {
  const char16_t text[] = {u'a', 0x0E01 /* Thai, not in 949 */, u'b'};
  char buf[8] = {};
  BOOL used = FALSE;
  ASSERT_EQ(3, WideCharToMultiByte(CP_ACP, 0, text, 3, buf, 8, nullptr, &used));
  EXPECT_EQ(std::string("a?b"), std::string(buf, 3));
  EXPECT_TRUE(used);
  ASSERT_EQ(3, WideCharToMultiByte(CP_ACP, 0, text, 3, buf, 8, "#", &used));
  EXPECT_EQ(std::string("a#b"), std::string(buf, 3));

  SetLastError(0xdeadbeef);
  EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, text, 3, buf, 8, "#", nullptr));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(CodePage, EveryValidPairRoundTrips) {
  // Every two-byte character of code page 949 comes back byte for byte.
  int pairs = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x41; trail <= 0xFE; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      bool invalid = false;
      std::u16string wide = winsim::ToUtf16(bytes, 949, &invalid);
      if (invalid) continue;
      ++pairs;
      ASSERT_EQ(bytes, winsim::FromUtf16(wide, 949)) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_EQ(17048, pairs);
}

// The size the short-name rules count by is the size of the conversion,
// in every code page and for every kind of character.
TEST(CodePage, AnsiSizeIsTheSizeOfTheConversion) {
  const std::u16string texts[] = {
      u"",
      u"plain.txt",
      u"\uD55C\uAE00 name",         // double-byte in 949, missing in 1252
      u"caf\u00E9",                  // single byte in 1252, double in 949
      u"\u20AC\u0080\uF8F7",         // the euro and 949's own mappings of 0x80 and 0xFF
      u"\U0001F600 x",               // a pair, missing outside UTF-8
      {u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}},  // lone surrogates
      u"\u0800\u07FF\uFFFF",         // UTF-8 length boundaries
  };
  for (unsigned cp : {949u, 1252u, 932u, 65001u}) {
    for (const auto& text : texts) {
      SCOPED_TRACE(cp);
      EXPECT_EQ(winsim::FromUtf16(text, cp).size(), winsim::AnsiSize(text, cp)) << text.size() << " units";
    }
  }
}

// UTF-8 of text that mixes runs of ASCII with other characters, appended
// after what the string already holds.
TEST(CodePage, Utf8OfMixedTextAppendsByteForByte) {
  const struct {
    const char* what;
    std::u16string text;
    std::string utf8;
  } rows[] = {
      {"empty", u"", ""},
      {"ASCII only", u"C:\\Program Files\\x.dat", "C:\\Program Files\\x.dat"},
      {"Hangul between ASCII runs", u"ab\uD55C\uAE00cd", "ab\xED\x95\x9C\xEA\xB8\x80" "cd"},
      {"ASCII at the end only", u"\u00E9xyz", "\xC3\xA9xyz"},
      {"length boundaries", u"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {"a pair", u"\U0001F600x", "\xF0\x9F\x98\x80x"},
      {"lone surrogates", {u'a', char16_t{0xD800}, u'b', char16_t{0xDC00}}, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(row.utf8, winsim::Utf16ToUtf8(row.text));
    std::string appended = "/host";
    winsim::AppendUtf8(appended, row.text);
    EXPECT_EQ("/host" + row.utf8, appended);
  }
}

TEST(CodePage, CaseFolding) {
  EXPECT_TRUE(winsim::EqualsNoCase(u"Program Files", u"PROGRAM files"));
  EXPECT_TRUE(winsim::EqualsNoCase(u"\u00e9t\u00e9", u"\u00c9T\u00c9"));
  EXPECT_FALSE(winsim::EqualsNoCase(u"a", u"ab"));
  EXPECT_EQ(u"\uD55C", winsim::Upcase(u"\uD55C")) << "Hangul has no case";
}

}  // namespace
