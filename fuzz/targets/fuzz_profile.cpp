// The profile functions on any file: lists of sections and keys and
// values read into buffers of every size (exactly sized heap buffers, so
// the address sanitizer sees a write past them), then one value written
// and read back while every other value stays as it was.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "windows.h"

namespace {

const char kFile[] = "C:\\fuzz.ini";
constexpr DWORD kLarge = 1 << 16;

// Lists are read with an empty default: a listed section that a lookup
// does not find (its name holds a NUL in the file) gives an empty list.
std::string Read(LPCSTR section, LPCSTR key, DWORD size, DWORD* returned) {
  auto buffer = std::make_unique<char[]>(size);
  const DWORD n = GetPrivateProfileStringA(section, key, key ? "-" : "", buffer.get(), size, kFile);
  fuzz::Check(n < size, "GetPrivateProfileStringA returned " + std::to_string(n) + " for a buffer of " +
                            std::to_string(size));
  fuzz::Check(buffer[n] == '\0', "no terminator after the returned count");
  *returned = n;
  return std::string(buffer.get(), n);
}

// A NUL-separated list read whole: its names.
std::vector<std::string> Names(const std::string& list) {
  std::vector<std::string> names;
  for (size_t start = 0; start < list.size();) {
    size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    names.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

// A list cut to a small buffer ends with two NULs. A buffer of exactly the
// list's size (its last NUL included) counts as too small, as the layer
// answers it (Windows' own answer there is not among the measured facts).
void CheckCutList(LPCSTR section, const std::string& whole, DWORD size) {
  DWORD n = 0;
  const std::string cut = Read(section, nullptr, size, &n);
  if (size < 2) return;
  if (whole.size() + 2 <= size) {
    fuzz::Check(cut == whole, "a list that fits a buffer of " + std::to_string(size) + " came back as \"" +
                                  fuzz::Escaped(cut) + "\", not \"" + fuzz::Escaped(whole) + "\"");
  } else {
    fuzz::Check(n == size - 2, "a cut list returned " + std::to_string(n) + " (\"" + fuzz::Escaped(cut) +
                                   "\") in a buffer of " + std::to_string(size) + " for \"" + fuzz::Escaped(whole) +
                                   "\"");
  }
}

using Values = std::map<std::pair<std::string, std::string>, std::string>;

Values ReadAll(std::vector<std::string>* sections, uint8_t smallSize) {
  Values all;
  DWORD n = 0;
  const std::string list = Read(nullptr, nullptr, kLarge, &n);
  *sections = Names(list);
  CheckCutList(nullptr, list, 1u + smallSize % 64u);
  for (const auto& section : *sections) {
    const std::string keys = Read(section.c_str(), nullptr, kLarge, &n);
    CheckCutList(section.c_str(), keys, 1u + smallSize % 64u);
    for (const auto& key : Names(keys)) {
      const auto name = std::make_pair(section, key);
      if (all.count(name)) continue;  // the first of equal names counts
      all[name] = Read(section.c_str(), key.c_str(), kLarge, &n);
      Read(section.c_str(), key.c_str(), 1u + smallSize % 16u, &n);
      GetPrivateProfileIntA(section.c_str(), key.c_str(), 7, kFile);
    }
  }
  return all;
}

bool IsValidAnsi(const std::string& text) {
  if (text.empty()) return true;
  return MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0;
}

// A section or key name that reads back as written: plain ASCII without
// the characters that end or trim names.
bool IsPlainName(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (unsigned char c : name) {
    if (c <= 0x20 || c >= 0x7f || c == '[' || c == ']' || c == '=' || c == ';') return false;
  }
  return true;
}

// A value that reads back as written: no line ends, nothing trimmed.
bool IsPlainValue(const std::string& value) {
  if (value.size() > 1000 || !IsValidAnsi(value)) return false;
  for (unsigned char c : value) {
    if (c < 0x20 && c != '\t') return false;
  }
  if (value.empty()) return true;
  auto trimmed = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
  return !trimmed(value.front()) && !trimmed(value.back());
}

// Names compare as lookups compare them: trimmed of blanks, tabs and ^Z,
// ASCII letters without case. (A listed name ends at a NUL in the file,
// so a name may list as "k " and be looked up as "k".)
std::string Trimmed(const std::string& name) {
  size_t b = 0, e = name.size();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\x1a'; };
  while (b < e && blank(name[b])) ++b;
  while (e > b && blank(name[e - 1])) --e;
  return name.substr(b, e - b);
}

bool SameAscii(const std::string& rawA, const std::string& rawB) {
  const std::string a = Trimmed(rawA), b = Trimmed(rawB);
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string host = fuzz::Machine() + "/drive_c/fuzz.ini";
  fuzz::Input in(data, size);
  const uint8_t smallSize = in.Byte();
  const std::string section(in.Part('\x01'));
  const std::string key(in.Part('\x01'));
  const std::string value(in.Part('\x01'));
  const std::string content(in.Rest());
  fuzz::WriteHost(host, content);

  std::vector<std::string> sections;
  const Values before = ReadAll(&sections, smallSize);

  if (!IsPlainName(section) || !IsPlainName(key) || !IsPlainValue(value)) return 0;
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), kFile)) return 0;
  DWORD n = 0;
  const std::string back = Read(section.c_str(), key.c_str(), kLarge, &n);
  fuzz::Check(back == value, "[" + section + "] " + key + " reads \"" + fuzz::Escaped(back) + "\" after writing \"" +
                                 fuzz::Escaped(value) + "\" into " + fuzz::Escaped(content));
  for (const auto& [name, old] : before) {
    if (SameAscii(name.first, section) && SameAscii(name.second, key)) continue;
    const std::string now = Read(name.first.c_str(), name.second.c_str(), kLarge, &n);
    fuzz::Check(now == old, "[" + fuzz::Escaped(name.first) + "] " + fuzz::Escaped(name.second) + " changed from \"" +
                                fuzz::Escaped(old) + "\" to \"" + fuzz::Escaped(now) + "\" by writing [" + section +
                                "] " + key);
  }
  return 0;
}
