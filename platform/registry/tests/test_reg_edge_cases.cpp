// Argument edge cases of the registry functions, each row with the result
// Windows gives: handles (empty subkeys, predefined roots in 32 bits, NULL
// and closed keys), string sizes and terminators, buffers that are too
// small, and the registry views below opened keys.
#include <cstring>
#include <string>
#include <vector>

#include "registry_test_support.h"
#include "shlwapi.h"
#include "winsim/machine.h"

using registry_test::Bytes;
using registry_test::Hex;
using registry_test::RegistryTest;

namespace {

const HKEY kSentinel = reinterpret_cast<HKEY>(0xdeadbeef);

// A predefined key as a program keeps it in a 32-bit variable and widens it
// again without the sign.
HKEY Widened(HKEY key) {
  const auto low = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key));
  return reinterpret_cast<HKEY>(static_cast<uintptr_t>(low));
}

std::string QueryBytesA(HKEY key, const char* name, DWORD* size) {
  std::vector<BYTE> buffer(64, 0xCC);
  *size = static_cast<DWORD>(buffer.size());
  if (RegQueryValueExA(key, name, nullptr, nullptr, buffer.data(), size) != ERROR_SUCCESS) return "failed";
  return std::string(reinterpret_cast<char*>(buffer.data()), *size);
}

}  // namespace

TEST_F(RegistryTest, EmptySubkeyOfAnOpenedKeyIsANewHandle) {
  DWORD one = 1;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4));
  struct Row {
    const char* row;
    LSTATUS (*open)(HKEY, PHKEY);
  } rows[] = {
      {"A, NULL", [](HKEY k, PHKEY r) { return RegOpenKeyExA(k, nullptr, 0, KEY_READ, r); }},
      {"A, empty", [](HKEY k, PHKEY r) { return RegOpenKeyExA(k, "", 0, KEY_READ, r); }},
      {"W, NULL", [](HKEY k, PHKEY r) { return RegOpenKeyExW(k, nullptr, 0, KEY_READ, r); }},
      {"W, empty", [](HKEY k, PHKEY r) { return RegOpenKeyExW(k, u"", 0, KEY_READ, r); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY copy = kSentinel;
    ASSERT_EQ(ERROR_SUCCESS, row.open(key_, &copy));
    EXPECT_NE(key_, copy);
    EXPECT_NE(kSentinel, copy);
    DWORD value = 0, size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(copy, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(1u, value);
    // Closing the new handle leaves the first one open.
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(copy));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(copy));
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "v", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
  }
  // A predefined root comes back as itself; RegOpenKeyA hands back any key.
  HKEY same = kSentinel;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "", 0, KEY_READ, &same));
  EXPECT_EQ(HKEY_CLASSES_ROOT, same);
  same = kSentinel;
  EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyA(key_, "", &same));
  EXPECT_EQ(key_, same);
}

TEST_F(RegistryTest, PredefinedKeysAreKnownByTheirLow32Bits) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(Widened(HKEY_LOCAL_MACHINE), "Software\\Widened", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Software\\Widened"));
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_USERS}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(root));
    HKEY widened = Widened(root);
    ASSERT_NE(root, widened) << "the test needs a 64-bit build";
    HKEY opened = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(widened, "", 0, KEY_READ, &opened));
    EXPECT_EQ(widened, opened);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(widened));
    char name[256];
    DWORD size = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS, RegEnumKeyExA(widened, 0, name, &size, nullptr, nullptr, nullptr, nullptr));
  }
  EXPECT_TRUE(Exists(Widened(HKEY_CURRENT_USER), "Software\\RegistryTest"));
}

TEST_F(RegistryTest, FailedOpensLeaveOrClearTheResultAsWindows) {
  HKEY closed = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &closed));
  ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(closed));
  struct Row {
    const char* row;
    LSTATUS status;
    HKEY result;  // kSentinel: left alone
    LSTATUS (*call)(HKEY closed, PHKEY result);
  } rows[] = {
      {"RegOpenKeyA NULL, NULL", ERROR_SUCCESS, nullptr, [](HKEY, PHKEY r) { return RegOpenKeyA(nullptr, nullptr, r); }},
      {"RegOpenKeyA NULL, empty", ERROR_SUCCESS, nullptr, [](HKEY, PHKEY r) { return RegOpenKeyA(nullptr, "", r); }},
      {"RegOpenKeyA NULL key", ERROR_INVALID_HANDLE, kSentinel,
       [](HKEY, PHKEY r) { return RegOpenKeyA(nullptr, "Software", r); }},
      {"RegOpenKeyExA NULL key", ERROR_INVALID_HANDLE, kSentinel,
       [](HKEY, PHKEY r) { return RegOpenKeyExA(nullptr, "Software", 0, KEY_READ, r); }},
      {"RegOpenKeyExA NULL key, empty subkey", ERROR_INVALID_HANDLE, kSentinel,
       [](HKEY, PHKEY r) { return RegOpenKeyExA(nullptr, "", 0, KEY_READ, r); }},
      {"RegCreateKeyExA NULL key", ERROR_INVALID_HANDLE, kSentinel,
       [](HKEY, PHKEY r) { return RegCreateKeyExA(nullptr, "X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, r, nullptr); }},
      {"RegOpenKeyExA closed key", ERROR_INVALID_HANDLE, nullptr,
       [](HKEY c, PHKEY r) { return RegOpenKeyExA(c, "Microsoft", 0, KEY_READ, r); }},
      {"RegOpenKeyExA closed key, empty subkey", ERROR_INVALID_HANDLE, nullptr,
       [](HKEY c, PHKEY r) { return RegOpenKeyExA(c, "", 0, KEY_READ, r); }},
      {"RegOpenKeyExA missing key", ERROR_FILE_NOT_FOUND, nullptr,
       [](HKEY, PHKEY r) { return RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Missing", 0, KEY_READ, r); }},
      {"RegOpenKeyExA leading backslash", ERROR_BAD_PATHNAME, nullptr,
       [](HKEY, PHKEY r) { return RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, r); }},
      {"RegOpenKeyA missing key", ERROR_FILE_NOT_FOUND, nullptr,
       [](HKEY, PHKEY r) { return RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Missing", r); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY result = kSentinel;
    EXPECT_EQ(row.status, row.call(closed, &result));
    EXPECT_EQ(row.result, result);
  }
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyA(HKEY_CURRENT_USER, "Software", nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyA(HKEY_CURRENT_USER, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, nullptr));
  EXPECT_EQ(ERROR_BADKEY, RegCreateKeyExA(HKEY_CURRENT_USER, "X", 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr));
}

TEST_F(RegistryTest, ClassesRootTakesOneLeadingBackslash) {
  struct Row {
    const char* row;
    HKEY root;
    const char* subkey;
    LSTATUS status;
  } rows[] = {
      {"classes root, \\CLSID", HKEY_CLASSES_ROOT, "\\CLSID", ERROR_SUCCESS},
      {"classes root, \\ alone opens the root", HKEY_CLASSES_ROOT, "\\", ERROR_SUCCESS},
      {"classes root, two backslashes", HKEY_CLASSES_ROOT, "\\\\CLSID", ERROR_BAD_PATHNAME},
      {"local machine, \\Software", HKEY_LOCAL_MACHINE, "\\Software", ERROR_BAD_PATHNAME},
      {"widened classes root", Widened(HKEY_CLASSES_ROOT), "\\Interface", ERROR_SUCCESS},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY key = kSentinel;
    EXPECT_EQ(row.status, RegOpenKeyExA(row.root, row.subkey, 0, KEY_READ, &key));
    if (row.status == ERROR_SUCCESS) {
      EXPECT_NE(row.root, key);
      EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    } else {
      EXPECT_EQ(nullptr, key);
    }
  }
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "\\.probe", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Software\\Classes\\.probe"));
}

// RegSetValueExA/W keep the bytes given. The next character after cbData
// is counted only when it is the terminator the caller forgot.
TEST_F(RegistryTest, StringsAreStoredWithTheBytesGiven) {
  struct Row {
    const char* row;
    bool wide;
    DWORD type;
    std::string buffer;  // what the data pointer points at
    DWORD cbData;
    std::string storedW;  // RegQueryValueExW
    std::string readA;    // RegQueryValueExA
  } rows[] = {
      {"A, three bytes of abcdef", false, REG_SZ, "abcdef", 3, Bytes({'a', 0, 'b', 0, 'c', 0}), "abc"},
      {"A, three bytes of abc", false, REG_SZ, std::string("abc\0", 4), 3, Bytes({'a', 0, 'b', 0, 'c', 0, 0, 0}),
       std::string("abc\0", 4)},
      {"A expand, two bytes of %X%", false, REG_EXPAND_SZ, "%X%", 2, Bytes({'%', 0, 'X', 0}), "%X"},
      {"A multi, no final terminator", false, REG_MULTI_SZ, std::string("a\0bz", 4), 3,
       Bytes({'a', 0, 0, 0, 'b', 0}), std::string("a\0b", 3)},
      {"A hangul cut inside a character", false, REG_SZ, "\xC7\xD1\xB1\xDB", 3, Bytes({0x5C, 0xD5, '?', 0}),
       "\xC7\xD1?"},
      {"A binary is never extended", false, REG_BINARY, std::string("ab\0", 3), 2, "ab", "ab"},
      {"W, two characters of abc", true, REG_SZ, Bytes({'a', 0, 'b', 0, 'c', 0, 0, 0}), 4, Bytes({'a', 0, 'b', 0}),
       "ab"},
      {"W, all of ab without terminator", true, REG_SZ, Bytes({'a', 0, 'b', 0, 0, 0, 0x55, 0x55}), 4,
       Bytes({'a', 0, 'b', 0, 0, 0}), std::string("ab\0", 3)},
      {"W odd size 5 for ab", true, REG_SZ, Bytes({'a', 0, 'b', 0, 0, 0, 0, 0}), 5, Bytes({'a', 0, 'b', 0, 0, 0, 0}),
       std::string("ab\0", 3)},
      {"W odd size 3 for ab", true, REG_SZ, Bytes({'a', 0, 'b', 0, 0x55, 0x55}), 3, Bytes({'a', 0, 'b'}), "a"},
      {"W one byte", true, REG_SZ, Bytes({'a', 0, 0, 0}), 1, Bytes({'a'}), ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    const BYTE* data = reinterpret_cast<const BYTE*>(row.buffer.data());
    LSTATUS set = row.wide ? RegSetValueExW(key_, u"T", 0, row.type, data, row.cbData)
                           : RegSetValueExA(key_, "T", 0, row.type, data, row.cbData);
    ASSERT_EQ(ERROR_SUCCESS, set);
    std::vector<BYTE> buffer(64, 0xCC);
    DWORD size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"T", nullptr, nullptr, buffer.data(), &size));
    EXPECT_EQ(Hex(row.storedW), Hex(std::string(reinterpret_cast<char*>(buffer.data()), size)));
    DWORD sizeA = 0;
    EXPECT_EQ(Hex(row.readA), Hex(QueryBytesA(key_, "T", &sizeA)));
    // The exact size is enough; one byte less is ERROR_MORE_DATA with the
    // size, the buffer untouched.
    std::vector<BYTE> exact(sizeA + 1, 0xCC);
    DWORD exactSize = sizeA;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "T", nullptr, nullptr, exact.data(), &exactSize));
    EXPECT_EQ(0xCC, exact[sizeA]) << "nothing after an exactly sized buffer";
    if (sizeA == 0) continue;
    std::vector<BYTE> shorter(sizeA, 0xCC);
    DWORD shortSize = sizeA - 1;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key_, "T", nullptr, nullptr, shorter.data(), &shortSize));
    EXPECT_EQ(sizeA, shortSize);
    EXPECT_EQ(0xCC, shorter[0]);
  }
}

// A string stored without a terminator is read back by the A function with
// a NUL put after it where the buffer has room, not counted.
TEST_F(RegistryTest, UnterminatedStringGetsANulWhereThereIsRoom) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "T", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 3));
  BYTE buffer[8];
  std::memset(buffer, 0xCC, sizeof buffer);
  DWORD size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "T", nullptr, nullptr, buffer, &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(Hex(Bytes({'a', 'b', 'c', 0, 0xCC})), Hex(std::string(reinterpret_cast<char*>(buffer), 5)));
  // The wide function gives the stored bytes and nothing more.
  std::memset(buffer, 0xCC, sizeof buffer);
  size = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"T", nullptr, nullptr, buffer, &size));
  EXPECT_EQ(6u, size);
  EXPECT_EQ(0xCC, buffer[6]);
}

TEST_F(RegistryTest, QueryOfAMissingValueClearsTheSize) {
  struct Row {
    const char* row;
    bool wide;
    bool withBuffer;
  } rows[] = {{"A, size only", false, false}, {"A, with buffer", false, true},
              {"W, size only", true, false}, {"W, with buffer", true, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    BYTE buffer[8];
    std::memset(buffer, 0xCC, sizeof buffer);
    DWORD type = 0xdeadbeef, size = sizeof buffer;
    LSTATUS status = row.wide ? RegQueryValueExW(key_, u"Missing", nullptr, &type, row.withBuffer ? buffer : nullptr,
                                                 &size)
                              : RegQueryValueExA(key_, "Missing", nullptr, &type, row.withBuffer ? buffer : nullptr,
                                                 &size);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, status);
    EXPECT_EQ(0u, size);
    EXPECT_EQ(0xdeadbeefu, type);
    EXPECT_EQ(0xCC, buffer[0]);
  }
}

// One variable for the type and the size: the size it holds on entry is the
// buffer's, and it holds the data's size afterwards.
TEST_F(RegistryTest, TypeAndSizeInOneVariable) {
  std::string text = "Product 1.0";
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                          static_cast<DWORD>(text.size() + 1)));
  BYTE buffer[32];
  DWORD both = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key_, "Name", nullptr, &both, buffer, &both));
  EXPECT_EQ(12u, both);
  EXPECT_STREQ(text.c_str(), reinterpret_cast<char*>(buffer));
  both = sizeof buffer;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key_, u"Name", nullptr, &both, buffer, &both));
  EXPECT_EQ(24u, both);
  both = 4;
  EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key_, "Name", nullptr, &both, buffer, &both));
  EXPECT_EQ(12u, both);
}

TEST_F(RegistryTest, EnumValueWithBuffersTooSmall) {
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_, "Test", 0, REG_SZ, reinterpret_cast<const BYTE*>("foobar"), 7));
  struct Row {
    const char* row;
    DWORD nameCount;
    DWORD dataCount;
    LSTATUS status;
    DWORD nameCountAfter;
    std::string nameAfter;  // first bytes of the name buffer
    std::string dataAfter;  // first bytes of the data buffer
  } rows[] = {
      {"both fit", 20, 20, ERROR_SUCCESS, 4, std::string("Test\0", 5), std::string("foobar\0", 7)},
      {"name too small", 3, 20, ERROR_MORE_DATA, 3, "xxxxx", std::string("foobar\0", 7)},
      {"name exactly its length", 4, 20, ERROR_MORE_DATA, 4, "xxxxx", std::string("foobar\0", 7)},
      {"data too small", 20, 2, ERROR_MORE_DATA, 20, "xxxxx", "xxxxxxx"},
      {"both too small", 2, 2, ERROR_MORE_DATA, 2, "xxxxx", "xxxxxxx"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    char name[32], data[32];
    std::memset(name, 'x', sizeof name);
    std::memset(data, 'x', sizeof data);
    DWORD nameCount = row.nameCount, dataCount = row.dataCount, type = 0xdeadbeef;
    EXPECT_EQ(row.status,
              RegEnumValueA(key_, 0, name, &nameCount, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataCount));
    EXPECT_EQ(row.nameCountAfter, nameCount);
    EXPECT_EQ(7u, dataCount);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(Hex(row.nameAfter), Hex(std::string(name, row.nameAfter.size())));
    EXPECT_EQ(Hex(row.dataAfter), Hex(std::string(data, row.dataAfter.size())));
  }
}

TEST_F(RegistryTest, ViewFlagsApplyBelowAnOpenedKey) {
  HKEY software = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &software));
  struct Row {
    const char* row;
    HKEY* parent;
    const char* subkey;
    REGSAM view;
    const char* stored;  // below HKLM, as the 64-bit view names it
  } rows[] = {
      {"32-bit below Software", &software, "Probe32", KEY_WOW64_32KEY, "Software\\WOW6432Node\\Probe32"},
      {"64-bit below Software", &software, "Probe64", KEY_WOW64_64KEY, "Software\\Probe64"},
      {"32-bit class id", &software, "Classes\\CLSID\\{C1}", KEY_WOW64_32KEY,
       "Software\\Classes\\WOW6432Node\\CLSID\\{C1}"},
      {"32-bit interface", &software, "Classes\\Interface\\{I1}", KEY_WOW64_32KEY,
       "Software\\Classes\\WOW6432Node\\Interface\\{I1}"},
      {"32-bit media type", &software, "Classes\\Media Type\\M1", KEY_WOW64_32KEY,
       "Software\\Classes\\WOW6432Node\\Media Type\\M1"},
      {"32-bit file type is shared", &software, "Classes\\.probe32", KEY_WOW64_32KEY, "Software\\Classes\\.probe32"},
      {"32-bit AppID is shared", &software, "Classes\\AppID\\{A1}", KEY_WOW64_32KEY,
       "Software\\Classes\\AppID\\{A1}"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(*row.parent, row.subkey, 0, nullptr, 0, KEY_ALL_ACCESS | row.view,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, row.stored, KEY_READ | KEY_WOW64_64KEY));
    EXPECT_TRUE(Exists(*row.parent, row.subkey, KEY_READ | row.view));
  }
  EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, "Software\\Probe32", KEY_READ | KEY_WOW64_64KEY));
  EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, "CLSID\\{C1}", KEY_READ | KEY_WOW64_64KEY));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "CLSID\\{C1}", KEY_READ | KEY_WOW64_32KEY));
  EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, ".probe32", KEY_READ | KEY_WOW64_64KEY));

  // Below a key already inside one view, the flags change nothing.
  HKEY microsoft = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(software, "Microsoft", 0, KEY_ALL_ACCESS, &microsoft));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(microsoft, "Inner", 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                                           nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Inner", KEY_READ | KEY_WOW64_64KEY));
  RegCloseKey(microsoft);
  RegCloseKey(software);
}

TEST_F(RegistryTest, UserClassIdsHaveTwoViewsToo) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\{U1}", 0, nullptr, 0,
                                           KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\Classes\\WOW6432Node\\CLSID\\{U1}", KEY_READ | KEY_WOW64_64KEY));
  EXPECT_FALSE(Exists(HKEY_CURRENT_USER, "Software\\Classes\\CLSID\\{U1}", KEY_READ | KEY_WOW64_64KEY));
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\.user32", 0, nullptr, 0,
                                           KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_TRUE(Exists(HKEY_CURRENT_USER, "Software\\Classes\\.user32", KEY_READ | KEY_WOW64_64KEY));
}

TEST_F(RegistryTest, NewMachineHasTheClassesBaseKeysInBothViews) {
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    SCOPED_TRACE(view);
    EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "CLSID", KEY_READ | view));
    EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "Interface", KEY_READ | view));
  }
  EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, "Software\\Classes\\WOW6432Node\\Interface", KEY_READ | KEY_WOW64_64KEY));
}

// Every function on a closed handle, a never-opened value, NULL, and a
// handle whose key another handle deleted.
TEST_F(RegistryTest, BadAndDeletedHandlesInEveryFunction) {
  HKEY deleted = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key_, "Doomed", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &deleted, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(key_, "Doomed"));
  HKEY closed = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(key_, nullptr, 0, KEY_ALL_ACCESS, &closed));
  ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(closed));
  struct Row {
    const char* row;
    LSTATUS (*call)(HKEY);
  } calls[] = {
      {"RegSetValueExA", [](HKEY k) { return RegSetValueExA(k, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2); }},
      {"RegQueryValueExA", [](HKEY k) {
         DWORD size = 0;
         return RegQueryValueExA(k, "v", nullptr, nullptr, nullptr, &size);
       }},
      {"RegEnumValueA", [](HKEY k) {
         char name[8];
         DWORD count = sizeof name;
         return RegEnumValueA(k, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
       }},
      {"RegEnumKeyExA", [](HKEY k) {
         char name[8];
         DWORD count = sizeof name;
         return RegEnumKeyExA(k, 0, name, &count, nullptr, nullptr, nullptr, nullptr);
       }},
      {"RegDeleteValueA", [](HKEY k) { return RegDeleteValueA(k, "v"); }},
      {"RegCreateKeyExA", [](HKEY k) {
         HKEY sub = nullptr;
         LSTATUS status = RegCreateKeyExA(k, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
         if (status == ERROR_SUCCESS) RegCloseKey(sub);
         return status;
       }},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call.row);
    EXPECT_EQ(ERROR_INVALID_HANDLE, call.call(nullptr));
    EXPECT_EQ(ERROR_INVALID_HANDLE, call.call(closed));
    EXPECT_EQ(ERROR_KEY_DELETED, call.call(deleted));
  }
  EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(deleted)) << "a handle to a deleted key still closes";
}

TEST_F(RegistryTest, EnumKeyBufferSizes) {
  HKEY sub = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key_, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr));
  RegCloseKey(sub);
  struct Row {
    const char* row;
    DWORD index;
    DWORD count;
    LSTATUS status;
    DWORD countAfter;
    std::string nameAfter;
  } rows[] = {
      {"room for the name and its NUL", 0, 6, ERROR_SUCCESS, 5, std::string("Child\0", 6)},
      {"exactly the name's length", 0, 5, ERROR_MORE_DATA, 5, "xxxxxx"},
      {"no room at all", 0, 0, ERROR_MORE_DATA, 0, "xxxxxx"},
      {"past the last subkey", 1, 32, ERROR_NO_MORE_ITEMS, 32, "xxxxxx"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.row);
    char name[32];
    std::memset(name, 'x', sizeof name);
    DWORD count = row.count;
    EXPECT_EQ(row.status, RegEnumKeyExA(key_, row.index, name, &count, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(row.countAfter, count);
    EXPECT_EQ(Hex(row.nameAfter), Hex(std::string(name, row.nameAfter.size())));
  }
  char name[32];
  DWORD count = sizeof name, reserved = 0;
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumKeyExA(key_, 0, nullptr, &count, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumKeyExA(key_, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, RegEnumKeyExA(key_, 0, name, &count, &reserved, nullptr, nullptr, nullptr));
}
