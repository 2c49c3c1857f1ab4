// Value data through the A and W functions, as measured on Windows
// (64-bit process, code page 949): sizes, terminators, conversions, and
// buffers left untouched where Windows leaves them.
#include <cstring>
#include <vector>

#include "registry_test_support.h"

using registry_test::Bytes;
using registry_test::Hex;
using registry_test::RegistryTest;

namespace {

// "한글" in code page 949 and in UTF-16.
const std::string kHangulAnsi = "\xC7\xD1\xB1\xDB";
const std::u16string kHangulWide = u"\uD55C\uAE00";

struct Query {
  LSTATUS status;
  DWORD type;
  DWORD size;
  std::string data;  // the first `size` bytes of the buffer
  bool tailUntouched;  // every byte after them is still 0xCC
};

Query QueryA(HKEY key, const char* name, DWORD bufferSize = 600) {
  std::vector<BYTE> buffer(600, 0xCC);
  Query q{};
  q.type = 0xdeadbeef;
  q.size = bufferSize;
  q.status = RegQueryValueExA(key, name, nullptr, &q.type, buffer.data(), &q.size);
  DWORD shown = q.status == ERROR_SUCCESS ? q.size : 0;
  q.data.assign(reinterpret_cast<char*>(buffer.data()), shown);
  q.tailUntouched = true;
  for (size_t i = shown; i < buffer.size(); ++i) q.tailUntouched = q.tailUntouched && buffer[i] == 0xCC;
  return q;
}

Query QueryW(HKEY key, const char16_t* name, DWORD bufferSize = 600) {
  std::vector<BYTE> buffer(600, 0xCC);
  Query q{};
  q.type = 0xdeadbeef;
  q.size = bufferSize;
  q.status = RegQueryValueExW(key, name, nullptr, &q.type, buffer.data(), &q.size);
  DWORD shown = q.status == ERROR_SUCCESS ? q.size : 0;
  q.data.assign(reinterpret_cast<char*>(buffer.data()), shown);
  q.tailUntouched = true;
  for (size_t i = shown; i < buffer.size(); ++i) q.tailUntouched = q.tailUntouched && buffer[i] == 0xCC;
  return q;
}

DWORD SizeOnlyA(HKEY key, const char* name) {
  DWORD size = 0xdeadbeef;
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size));
  return size;
}

struct StringRow {
  const char* row;
  bool wide;            // set with RegSetValueExW
  std::string given;    // bytes handed to the set call
  std::string storedW;  // what RegQueryValueExW returns
  std::string readA;    // what RegQueryValueExA returns
  DWORD cbData = 0;     // the size passed; 0: all of `given`
};

std::string Padded(const std::string& text, size_t size) {
  std::string bytes = text;
  bytes.resize(size, '\0');
  return bytes;
}

std::string Utf16Bytes(const std::u16string& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::vector<StringRow> StringRows() {
  return {
      {"A hangul with terminator", false, kHangulAnsi + '\0', Bytes({0x5C, 0xD5, 0x00, 0xAE, 0x00, 0x00}),
       Bytes({0xC7, 0xD1, 0xB1, 0xDB, 0x00})},
      {"A mixed text, 17 bytes", false, "Product " + kHangulAnsi + " 1.0" + '\0',
       Utf16Bytes(u"Product \uD55C\uAE00 1.0") + Bytes({0, 0}), "Product " + kHangulAnsi + " 1.0" + '\0'},
      {"A without terminator", false, "abc", Utf16Bytes(u"abc") + Bytes({0, 0}), Bytes({'a', 'b', 'c', 0})},
      {"A 260-byte padded buffer", false, Padded("C:\\Program Files", 260),
       Utf16Bytes(std::u16string(u"C:\\Program Files") + std::u16string(244, u'\0')),
       Padded("C:\\Program Files", 260)},
      {"A empty with terminator", false, std::string(1, '\0'), Bytes({0, 0}), std::string(1, '\0')},
      {"A empty, no bytes", false, "", "", ""},
      {"W hangul with terminator", true, Utf16Bytes(kHangulWide) + Bytes({0, 0}),
       Bytes({0x5C, 0xD5, 0x00, 0xAE, 0x00, 0x00}), Bytes({0xC7, 0xD1, 0xB1, 0xDB, 0x00})},
      {"W hangul without terminator", true, Utf16Bytes(kHangulWide) + Bytes({0, 0}),
       Bytes({0x5C, 0xD5, 0x00, 0xAE, 0x00, 0x00}), Bytes({0xC7, 0xD1, 0xB1, 0xDB, 0x00}), 4},
      {"W odd size 5 for ab", true, Bytes({0x61, 0x00, 0x62, 0x00, 0x00, 0x00, 0x00, 0x00}),
       Bytes({0x61, 0x00, 0x62, 0x00, 0x00, 0x00, 0x00}), Bytes({'a', 'b', 0}), 5},
  };
}

}  // namespace

TEST_F(RegistryTest, StringValuesKeepWindowsSizesAndTerminators) {
  for (const auto& row : StringRows()) {
    SCOPED_TRACE(row.row);
    const BYTE* data = reinterpret_cast<const BYTE*>(row.given.data());
    DWORD size = row.cbData ? row.cbData : static_cast<DWORD>(row.given.size());
    LSTATUS set = row.wide ? RegSetValueExW(key_, u"Text", 0, REG_SZ, data, size)
                           : RegSetValueExA(key_, "Text", 0, REG_SZ, data, size);
    ASSERT_EQ(ERROR_SUCCESS, set);

    Query w = QueryW(key_, u"Text");
    EXPECT_EQ(ERROR_SUCCESS, w.status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), w.type);
    EXPECT_EQ(row.storedW.size(), w.size);
    EXPECT_EQ(Hex(row.storedW), Hex(w.data));
    EXPECT_TRUE(w.tailUntouched);

    Query a = QueryA(key_, "Text");
    EXPECT_EQ(ERROR_SUCCESS, a.status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), a.type);
    EXPECT_EQ(Hex(row.readA), Hex(a.data));
    EXPECT_TRUE(a.tailUntouched);
    EXPECT_EQ(row.readA.size(), SizeOnlyA(key_, "Text"));
  }
}

TEST_F(RegistryTest, SmallBufferGetsMoreDataAndStaysUntouched) {
  std::string text = "Product " + kHangulAnsi + " 1.0";
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExA(key_, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), 17));
  Query a = QueryA(key_, "Name", 3);
  EXPECT_EQ(ERROR_MORE_DATA, a.status);
  EXPECT_EQ(17u, a.size);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), a.type);
  EXPECT_TRUE(a.tailUntouched);

  Query w = QueryW(key_, u"Name", 29);
  EXPECT_EQ(ERROR_MORE_DATA, w.status);
  EXPECT_EQ(30u, w.size);
  EXPECT_TRUE(w.tailUntouched);

  // Exactly the needed size is enough.
  Query exact = QueryA(key_, "Name", 17);
  EXPECT_EQ(ERROR_SUCCESS, exact.status);
  EXPECT_EQ(text + '\0', exact.data);
}

TEST_F(RegistryTest, QueryLooksUpNamesWithoutCaseAndReportsMissingOnes) {
  DWORD value = 0x12345678;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Counter", 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), 4));
  struct Row {
    const char* name;
    LSTATUS status;
  } rows[] = {{"Counter", ERROR_SUCCESS}, {"COUNTER", ERROR_SUCCESS}, {"counter", ERROR_SUCCESS},
              {"Count", ERROR_FILE_NOT_FOUND}, {"Counter ", ERROR_FILE_NOT_FOUND}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Query a = QueryA(key_, row.name);
    EXPECT_EQ(row.status, a.status);
    if (row.status == ERROR_SUCCESS) {
      EXPECT_EQ(static_cast<DWORD>(REG_DWORD), a.type);
      EXPECT_EQ(Hex(Bytes({0x78, 0x56, 0x34, 0x12})), Hex(a.data));
    } else {
      EXPECT_EQ(0xdeadbeefu, a.type);
    }
  }
  Query w = QueryW(key_, u"counter");
  EXPECT_EQ(Hex(Bytes({0x78, 0x56, 0x34, 0x12})), Hex(w.data));
}

TEST_F(RegistryTest, DefaultValueSetWithNullNameIsReadWithEmptyName) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("dflt"), 5));
  EXPECT_EQ(std::string("dflt", 5), QueryA(key_, "").data);
  EXPECT_EQ(std::string("dflt", 5), QueryA(key_, nullptr).data);
  EXPECT_EQ(Utf16Bytes(u"dflt") + Bytes({0, 0}), QueryW(key_, u"").data);
}

TEST_F(RegistryTest, OverwriteWithShorterStringLeavesNoTrace) {
  const char* longText = "a rather long piece of text";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>(longText),
                                          static_cast<DWORD>(strlen(longText) + 1)));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("short"), 6));
  Query a = QueryA(key_, "V");
  EXPECT_EQ(std::string("short", 6), a.data);
  EXPECT_TRUE(a.tailUntouched);
  Query w = QueryW(key_, u"V");
  EXPECT_EQ(12u, w.size);
  // The name keeps the spelling it was created with.
  char name[32];
  DWORD nameSize = sizeof(name);
  ASSERT_EQ(ERROR_SUCCESS, RegEnumValueA(key_, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("V", name);
}

TEST_F(RegistryTest, BadArgumentsGetWindowsErrors) {
  BYTE buffer[8];
  DWORD size = sizeof(buffer);
  DWORD reserved = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "X", 0, REG_BINARY, reinterpret_cast<const BYTE*>("12"), 2));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(key_, "X", &reserved, nullptr, buffer, &size));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegQueryValueExA(key_, "X", nullptr, nullptr, buffer, nullptr));
  EXPECT_EQ(ERROR_NOACCESS, RegSetValueExA(key_, "X", 0, REG_BINARY, nullptr, 4));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegQueryValueExA(nullptr, "X", nullptr, nullptr, buffer, &size));
  EXPECT_EQ(ERROR_INVALID_HANDLE,
            RegSetValueExA(reinterpret_cast<HKEY>(0x4444), "X", 0, REG_BINARY, buffer, 1));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key_, "Missing"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key_, "x"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryA(key_, "X").status);
}

TEST_F(RegistryTest, ValueNamesAreLimitedTo16383Characters) {
  std::string longest(16383, 'n');
  std::string tooLong(16384, 'n');
  DWORD one = 1;
  EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, longest.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_SUCCESS, QueryA(key_, longest.c_str()).status);
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            RegSetValueExA(key_, tooLong.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryA(key_, tooLong.c_str()).status);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key_, tooLong.c_str()));
}

TEST_F(RegistryTest, EnumValueFollowsCreationOrderAndConvertsStrings) {
  DWORD seven = 7;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Zeta", 0, REG_DWORD, reinterpret_cast<BYTE*>(&seven), 4));
  std::string hangul = kHangulAnsi + '\0';
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Alpha", 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(hangul.data()), 5));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Zeta", 0, REG_DWORD, reinterpret_cast<BYTE*>(&seven), 4));

  struct Row {
    DWORD index;
    LSTATUS status;
    const char* name;
    DWORD type;
    std::string data;
  } rows[] = {{0, ERROR_SUCCESS, "Zeta", REG_DWORD, Bytes({7, 0, 0, 0})},
              {1, ERROR_SUCCESS, "Alpha", REG_SZ, hangul},
              {2, ERROR_NO_MORE_ITEMS, "", 0, ""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    char name[32];
    memset(name, 0xCC, sizeof(name));
    BYTE data[32];
    DWORD nameSize = sizeof(name), dataSize = sizeof(data), type = 0xdeadbeef;
    EXPECT_EQ(row.status, RegEnumValueA(key_, row.index, name, &nameSize, nullptr, &type, data, &dataSize));
    if (row.status != ERROR_SUCCESS) continue;
    EXPECT_STREQ(row.name, name);
    EXPECT_EQ(strlen(row.name), nameSize);
    EXPECT_EQ(row.type, type);
    EXPECT_EQ(Hex(row.data), Hex(std::string(reinterpret_cast<char*>(data), dataSize)));
  }

  // Too small for the name: ERROR_MORE_DATA; too small for the data: the
  // needed size.
  char small[4];
  DWORD smallSize = sizeof(small);
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key_, 1, small, &smallSize, nullptr, nullptr, nullptr, nullptr));
  char name[32];
  DWORD nameSize = sizeof(name);
  BYTE data[2];
  DWORD dataSize = sizeof(data);
  EXPECT_EQ(ERROR_MORE_DATA, RegEnumValueA(key_, 1, name, &nameSize, nullptr, nullptr, data, &dataSize));
  EXPECT_EQ(5u, dataSize);
}
