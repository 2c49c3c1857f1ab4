// Module resources: FindResource over this program's own compiled script
// (test_resources.rc), the bytes compared with the .res file it came from,
// and .res images built here for made-up modules: names and types in every
// form, languages, alignment, truncated and corrupt files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "machine_fixture.h"
#include "res_file.h"
#include "windows.h"
#include "winsim/module_resources.h"

namespace {

const DWORD kSentinel = 0xdeadbeef;

std::string Bytes(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

// The data a handle leads to, through LoadResource, LockResource and
// SizeofResource.
std::string DataOf(HMODULE module, HRSRC found) {
  HGLOBAL loaded = LoadResource(module, found);
  if (!loaded) return "<not loaded>";
  const void* locked = LockResource(loaded);
  EXPECT_EQ(locked, static_cast<const void*>(loaded));
  return Bytes(locked, SizeofResource(module, found));
}

// --- This program's resources ------------------------------------------------

struct LookupCase {
  const char* what;
  LPCSTR type;
  LPCSTR name;
  int language;          // -1: FindResourceA, else FindResourceExA with it
  const char* expected;  // the data, or null when the lookup fails
  size_t expectedSize;
  DWORD error;  // last error of a failed lookup
};

LPCSTR Id(WORD id) { return MAKEINTRESOURCEA(id); }

const LookupCase kLookups[] = {
    {"ordinal name and type", RT_RCDATA, Id(7), -1, "seven", 5, 0},
    {"name as #7", RT_RCDATA, "#7", -1, "seven", 5, 0},
    {"type as #10", "#10", Id(7), -1, "seven", 5, 0},
    {"string name, stored upper case", RT_RCDATA, "Config", -1, "\x34\x12\xbc\x9a\x78\x56", 6, 0},
    {"string name, lower case", RT_RCDATA, "config", -1, "\x34\x12\xbc\x9a\x78\x56", 6, 0},
    {"string type", "blob", Id(12), -1, "xyz", 3, 0},
    {"string type, name as #12", "BLOB", "#12", -1, "xyz", 3, 0},
    {"wrong type", RT_DIALOG, Id(7), -1, nullptr, 0, ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"type of a string name asked by number", "#12", Id(12), -1, nullptr, 0, ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"string type that is missing", "BLOBS", Id(12), -1, nullptr, 0, ERROR_RESOURCE_TYPE_NOT_FOUND},
    {"wrong ordinal name", RT_RCDATA, Id(8), -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    {"wrong string name", RT_RCDATA, "Configs", -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    {"string name asked by number", "BLOB", Id(13), -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    {"# with no number", RT_RCDATA, "#7x", -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    {"# beyond 16 bits", RT_RCDATA, "#65543", -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    {"lone #", RT_RCDATA, "#", -1, nullptr, 0, ERROR_RESOURCE_NAME_NOT_FOUND},
    // 20 exists in Korean and US English; the machine's code page is 949.
    {"neutral request takes the user's language", RT_RCDATA, Id(20), -1, "ko", 2, 0},
    {"neutral request through the Ex form", RT_RCDATA, Id(20), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), "ko", 2, 0},
    {"explicit language", RT_RCDATA, Id(20), MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), "en-us", 5, 0},
    {"explicit language, Korean", RT_RCDATA, Id(20), MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT), "ko", 2, 0},
    {"language not there", RT_RCDATA, Id(20), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), nullptr, 0,
     ERROR_RESOURCE_LANG_NOT_FOUND},
    {"other sublanguage, no neutral one", RT_RCDATA, Id(20), MAKELANGID(LANG_ENGLISH, 0x02), nullptr, 0,
     ERROR_RESOURCE_LANG_NOT_FOUND},
    // 21 exists in English with the neutral sublanguage only.
    {"sublanguage falls back to the neutral one", RT_RCDATA, Id(21), MAKELANGID(LANG_ENGLISH, 0x02), "en", 2, 0},
    {"neutral request finds English", RT_RCDATA, Id(21), -1, "en", 2, 0},
    // 7 is language-neutral: every language finds it.
    {"neutral resource for any language", RT_RCDATA, Id(7), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), "seven", 5, 0},
};

// The data blocks of a .res file as its headers' two sizes lay them out,
// read without the layer's parser.
std::vector<std::string> DataBlocks(const std::string& res) {
  std::vector<std::string> blocks;
  size_t at = 0;
  while (at + 8 <= res.size()) {
    DWORD dataSize = 0, headerSize = 0;
    std::memcpy(&dataSize, res.data() + at, 4);
    std::memcpy(&headerSize, res.data() + at + 4, 4);
    if (headerSize < 8 || at + headerSize + dataSize > res.size()) {
      ADD_FAILURE() << "unexpected .res layout at " << at;
      break;
    }
    blocks.push_back(res.substr(at + headerSize, dataSize));
    at = (at + headerSize + dataSize + 3) & ~size_t{3};
  }
  return blocks;
}

TEST(ProgramResources, LookupsAsATable) {
  for (const LookupCase& c : kLookups) {
    SCOPED_TRACE(c.what);
    SetLastError(kSentinel);
    HRSRC found = c.language < 0 ? FindResourceA(nullptr, c.name, c.type)
                                 : FindResourceExA(nullptr, c.type, c.name, static_cast<WORD>(c.language));
    if (!c.expected) {
      EXPECT_EQ(found, nullptr);
      EXPECT_EQ(GetLastError(), c.error);
      continue;
    }
    ASSERT_NE(found, nullptr) << "last error " << GetLastError();
    EXPECT_EQ(GetLastError(), kSentinel);  // success leaves it
    EXPECT_EQ(DataOf(nullptr, found), std::string(c.expected, c.expectedSize));
  }
}

TEST(ProgramResources, EveryResourceIsOneDataBlockOfTheResFile) {
  const std::vector<std::string> blocks = DataBlocks(winsim::testing::ReadHostFile(TEST_RES_FILE));
  // The leading empty entry and the six resources of the script.
  ASSERT_EQ(blocks.size(), 7u);
  for (const LookupCase& c : kLookups) {
    if (!c.expected) continue;
    SCOPED_TRACE(c.what);
    HRSRC found = c.language < 0 ? FindResourceA(nullptr, c.name, c.type)
                                 : FindResourceExA(nullptr, c.type, c.name, static_cast<WORD>(c.language));
    ASSERT_NE(found, nullptr);
    const std::string data = DataOf(nullptr, found);
    int matches = 0;
    for (const std::string& block : blocks) matches += block == data;
    EXPECT_EQ(matches, 1);
    // Data starts on a DWORD boundary in the file, and so in memory.
    EXPECT_EQ(reinterpret_cast<uintptr_t>(LockResource(LoadResource(nullptr, found))) % 4, 0u);
  }
}

TEST(ProgramResources, WideNamesAndTypes) {
  const struct {
    const char* what;
    LPCWSTR type;
    LPCWSTR name;
    const char* expected;
  } rows[] = {
      {"ordinals", MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(7), "seven"},
      {"#forms", u"#10", u"#7", "seven"},
      {"string name", MAKEINTRESOURCEW(10), u"cOnFiG", "\x34\x12\xbc\x9a\x78\x56"},
      {"string type", u"Blob", MAKEINTRESOURCEW(12), "xyz"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    HRSRC found = FindResourceW(nullptr, row.name, row.type);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(DataOf(nullptr, found), row.expected);
    EXPECT_EQ(FindResourceExW(nullptr, row.type, row.name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)), found);
  }
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceW(nullptr, u"nothing", MAKEINTRESOURCEW(10)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(ProgramResources, NullModuleIsTheProgram) {
  HRSRC byNull = FindResourceA(nullptr, Id(7), RT_RCDATA);
  ASSERT_NE(byNull, nullptr);
  EXPECT_EQ(FindResourceA(GetModuleHandleA(nullptr), Id(7), RT_RCDATA), byNull);
  EXPECT_EQ(LoadResource(GetModuleHandleA(nullptr), byNull), LoadResource(nullptr, byNull));
}

TEST(ProgramResources, ModulesWithoutResources) {
  static char unregistered;
  for (HMODULE module : {GetModuleHandleA("kernel32"), reinterpret_cast<HMODULE>(&unregistered)}) {
    SetLastError(kSentinel);
    EXPECT_EQ(FindResourceA(module, Id(7), RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  }
}

TEST(ProgramResources, HandlesThatAreNoResource) {
  static ULONG_PTR notAnEntry[16];
  HRSRC bogus = reinterpret_cast<HRSRC>(notAnEntry);
  SetLastError(kSentinel);
  EXPECT_EQ(LoadResource(nullptr, bogus), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  SetLastError(kSentinel);
  EXPECT_EQ(SizeofResource(nullptr, bogus), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
  EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
  EXPECT_EQ(LockResource(nullptr), nullptr);
  // Loaded resources live as long as their module: freeing is a no-op.
  HRSRC found = FindResourceA(nullptr, Id(7), RT_RCDATA);
  ASSERT_NE(found, nullptr);
  HGLOBAL loaded = LoadResource(nullptr, found);
  EXPECT_FALSE(FreeResource(loaded));
  EXPECT_EQ(DataOf(nullptr, found), "seven");
}

// --- .res images built here ---------------------------------------------------

// Writes a .res image as a resource compiler does, and remembers where each
// entry's data went and which lengths end an entry (a file cut there is
// whole).
class ResBuilder {
 public:
  ResBuilder() { Add(Ordinal(0), Ordinal(0), 0, ""); }

  static std::vector<BYTE> Ordinal(WORD id) { return {0xFF, 0xFF, static_cast<BYTE>(id), static_cast<BYTE>(id >> 8)}; }
  static std::vector<BYTE> Name(const std::u16string& s) {
    std::vector<BYTE> out;
    for (char16_t c : s) {
      out.push_back(static_cast<BYTE>(c));
      out.push_back(static_cast<BYTE>(c >> 8));
    }
    out.insert(out.end(), {0, 0});
    return out;
  }

  // Returns the data's offset in the image.
  size_t Add(const std::vector<BYTE>& type, const std::vector<BYTE>& name, WORD language, const std::string& data) {
    std::vector<BYTE> header(8);
    header.insert(header.end(), type.begin(), type.end());
    header.insert(header.end(), name.begin(), name.end());
    while (header.size() % 4) header.push_back(0);
    const BYTE tail[16] = {0, 0, 0, 0, 0x30, 0x10, static_cast<BYTE>(language), static_cast<BYTE>(language >> 8)};
    header.insert(header.end(), tail, tail + 16);
    PutDword(&header, 0, static_cast<DWORD>(data.size()));
    PutDword(&header, 4, static_cast<DWORD>(header.size()));
    bytes.insert(bytes.end(), header.begin(), header.end());
    const size_t at = bytes.size();
    bytes.insert(bytes.end(), data.begin(), data.end());
    wholeLengths.push_back(bytes.size());
    while (bytes.size() % 4) bytes.push_back(0);
    if (wholeLengths.back() != bytes.size()) wholeLengths.push_back(bytes.size());
    return at;
  }

  static void PutDword(std::vector<BYTE>* v, size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) (*v)[at + i] = static_cast<BYTE>(value >> (8 * i));
  }

  std::vector<BYTE> bytes;
  std::vector<size_t> wholeLengths{0};
};

char g_moduleA, g_moduleB;
HMODULE ModuleA() { return reinterpret_cast<HMODULE>(&g_moduleA); }
HMODULE ModuleB() { return reinterpret_cast<HMODULE>(&g_moduleB); }

class BuiltResources : public ::testing::Test {
 protected:
  void TearDown() override {
    winsim::UnregisterModuleResources(ModuleA());
    winsim::UnregisterModuleResources(ModuleB());
  }
};

TEST_F(BuiltResources, NamesOfOddLengthsAndDataInPlace) {
  ResBuilder b;
  const size_t a = b.Add(ResBuilder::Name(u"TEXT"), ResBuilder::Name(u"AB"), 0, "a");         // name pads by 2
  const size_t c = b.Add(ResBuilder::Name(u"TEXT"), ResBuilder::Name(u"ABC"), 0, "abc");      // no padding
  const size_t d = b.Add(ResBuilder::Ordinal(10), ResBuilder::Name(u"\uD55C\uAE00"), 0, "");  // Hangul name, no data
  const size_t e = b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(300), 0x0412, "12345678");
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleA(), b.bytes.data(), b.bytes.size()));

  const struct {
    LPCWSTR type;
    LPCWSTR name;
    size_t at;
    size_t size;
  } rows[] = {{u"text", u"ab", a, 1},
              {u"TEXT", u"abc", c, 3},
              {u"#10", u"\uD55C\uAE00", d, 0},
              {MAKEINTRESOURCEW(10), u"#300", e, 8}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.at);
    HRSRC found = FindResourceW(ModuleA(), row.name, row.type);
    ASSERT_NE(found, nullptr) << GetLastError();
    EXPECT_EQ(SizeofResource(ModuleA(), found), row.size);
    // The registered bytes are used where they are.
    EXPECT_EQ(LockResource(LoadResource(ModuleA(), found)), static_cast<void*>(b.bytes.data() + row.at));
  }
  // Another module sees none of it.
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(ModuleB(), "AB", "TEXT"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST_F(BuiltResources, ParserLeavesOutTheLeadingEmptyEntry) {
  ResBuilder b;
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(1), 0x0409, "x");
  b.Add(ResBuilder::Name(u"T"), ResBuilder::Name(u"N"), 0, "yz");
  std::vector<winsim::process::ResEntry> entries;
  ASSERT_TRUE(winsim::process::ParseResFile(b.bytes.data(), b.bytes.size(), &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_FALSE(entries[0].type.named);
  EXPECT_EQ(entries[0].type.ordinal, 10);
  EXPECT_EQ(entries[0].name.ordinal, 1);
  EXPECT_EQ(entries[0].language, 0x0409);
  EXPECT_EQ(entries[0].memoryFlags, 0x1030);
  EXPECT_EQ(Bytes(entries[0].data, entries[0].size), "x");
  EXPECT_TRUE(entries[1].type.named);
  EXPECT_EQ(entries[1].type.name, u"T");
  EXPECT_EQ(entries[1].name.name, u"N");
  EXPECT_EQ(Bytes(entries[1].data, entries[1].size), "yz");
}

TEST_F(BuiltResources, LanguageChoice) {
  ResBuilder b;
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(1), 0x0411, "ja");
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(1), 0x0409, "en");
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(2), 0x0411, "ja only");
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(3), 0x0000, "neutral");
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(3), 0x0412, "ko");
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleA(), b.bytes.data(), b.bytes.size()));
  const struct {
    WORD name;
    int language;
    const char* expected;
  } rows[] = {
      {1, -1, "en"},           // no Korean: English comes before the first stored
      {2, -1, "ja only"},      // nothing preferred: the one there is
      {3, -1, "neutral"},      // neutral first
      {3, 0x0412, "ko"},       // an explicit language wins over neutral
      {3, 0x0411, "neutral"},  // and neutral serves the others
      {1, 0x0411, "ja"},      {1, 0x0412, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.name) + "/" + std::to_string(row.language));
    SetLastError(kSentinel);
    HRSRC found = row.language < 0
                      ? FindResourceA(ModuleA(), Id(row.name), RT_RCDATA)
                      : FindResourceExA(ModuleA(), RT_RCDATA, Id(row.name), static_cast<WORD>(row.language));
    if (!row.expected) {
      EXPECT_EQ(found, nullptr);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_LANG_NOT_FOUND));
      continue;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(DataOf(ModuleA(), found), row.expected);
  }
}

TEST_F(BuiltResources, EveryCutOfTheFileIsWholeOrRefused) {
  ResBuilder b;
  b.Add(ResBuilder::Name(u"TYPE"), ResBuilder::Name(u"NAMED"), 0, "odd");
  b.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(5), 0x0412, "0123456789abcdef");
  b.Add(ResBuilder::Ordinal(24), ResBuilder::Ordinal(1), 0, "<assembly/>");
  for (size_t n = 0; n <= b.bytes.size(); ++n) {
    SCOPED_TRACE(n);
    // A copy of just n bytes, so that a read past the end is a fault the
    // address sanitizer reports.
    std::vector<BYTE> cut(b.bytes.begin(), b.bytes.begin() + static_cast<long>(n));
    const bool whole = std::find(b.wholeLengths.begin(), b.wholeLengths.end(), n) != b.wholeLengths.end();
    std::vector<winsim::process::ResEntry> entries(1);
    EXPECT_EQ(winsim::process::ParseResFile(cut.data(), cut.size(), &entries), whole);
    if (!whole) {
      EXPECT_EQ(entries.size(), 1u);  // untouched
    }
  }
}

TEST_F(BuiltResources, CorruptHeadersAreRefused) {
  ResBuilder good;
  const size_t dataAt = good.Add(ResBuilder::Name(u"T"), ResBuilder::Name(u"NAMED"), 0, "data");
  const size_t entryAt = 32;  // after the leading empty entry
  const DWORD headerSize = static_cast<DWORD>(dataAt - entryAt);
  ASSERT_EQ(headerSize, 40u);  // 8 + "T" 4 + "NAMED" 12 + 16
  const struct {
    const char* what;
    size_t at;  // where a DWORD is overwritten
    DWORD value;
    bool fillName;  // also overwrite the ids with 'A's, leaving no terminator
  } corruptions[] = {
      {"data size past the end", entryAt, 5, false},
      {"data size huge", entryAt, 0xFFFFFFF0u, false},
      {"header size too small for any header", entryAt + 4, 28, false},
      {"header size ends inside the fixed tail", entryAt + 4, headerSize - 4, false},
      {"header size past the end", entryAt + 4, 0x1000, false},
      {"header size huge", entryAt + 4, 0xFFFFFFFCu, false},
      {"ids without a terminator", entryAt + 4, headerSize, true},
  };
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleA(), good.bytes.data(), good.bytes.size()));
  for (const auto& c : corruptions) {
    SCOPED_TRACE(c.what);
    std::vector<BYTE> bad = good.bytes;
    ResBuilder::PutDword(&bad, c.at, c.value);
    if (c.fillName) std::fill(bad.begin() + entryAt + 8, bad.begin() + dataAt, BYTE{'A'});
    std::vector<winsim::process::ResEntry> entries;
    EXPECT_FALSE(winsim::process::ParseResFile(bad.data(), bad.size(), &entries));
    // A refused image leaves the module's resources as they were.
    EXPECT_FALSE(winsim::RegisterModuleResources(ModuleA(), bad.data(), bad.size()));
    EXPECT_NE(FindResourceA(ModuleA(), "named", "t"), nullptr);
  }
  EXPECT_FALSE(winsim::RegisterModuleResources(ModuleB(), nullptr, 0));
}

TEST_F(BuiltResources, RegisteringAgainReplacesAndUnregisteringRemoves) {
  ResBuilder first, second;
  first.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(1), 0, "first");
  second.Add(ResBuilder::Ordinal(10), ResBuilder::Ordinal(2), 0, "second");
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleA(), first.bytes.data(), first.bytes.size()));
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleA(), second.bytes.data(), second.bytes.size()));
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(ModuleA(), Id(1), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  HRSRC found = FindResourceA(ModuleA(), Id(2), RT_RCDATA);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(DataOf(ModuleA(), found), "second");
  EXPECT_TRUE(winsim::UnregisterModuleResources(ModuleA()));
  EXPECT_FALSE(winsim::UnregisterModuleResources(ModuleA()));
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(ModuleA(), Id(2), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  // An empty image is a module with no resources of any type.
  ResBuilder empty;
  ASSERT_TRUE(winsim::RegisterModuleResources(ModuleB(), empty.bytes.data(), empty.bytes.size()));
  SetLastError(kSentinel);
  EXPECT_EQ(FindResourceA(ModuleB(), Id(2), RT_RCDATA), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

}  // namespace
