#include "record_registry.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

namespace record {
namespace {

// Names sorted as the registry compares them: without regard to case.
bool NameLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) < std::toupper(static_cast<unsigned char>(y));
  });
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return "REG_other";
  }
}

// The data as shown, and the size shown with it: for strings the size the
// shown text would have, so that a placeholder's folder, whose length
// differs between machines, does not make the sizes differ; any other
// surplus (a missing or extra NUL, an odd byte) shows in both.
std::string Data(DWORD type, const std::vector<BYTE>& data, const Placeholders& placeholders, size_t* shownSize) {
  *shownSize = data.size();
  if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
    std::vector<WCHAR> units(data.size() / 2);
    for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<WCHAR>(data[2 * i] | (data[2 * i + 1] << 8));
    // Each NUL is converted on its own so that it stays in the text.
    std::string text;
    size_t start = 0;
    for (size_t i = 0; i <= units.size(); ++i) {
      if (i == units.size() || units[i] == 0) {
        text += Utf8FromWide(units.data() + start, i - start);
        if (i < units.size()) text += '\0';
        start = i + 1;
      }
    }
    const std::string substituted = Substitute(text, placeholders);
    *shownSize = data.size() + 2 * WideLength(substituted) - 2 * WideLength(text);
    return Escape(substituted) + (data.size() % 2 ? " <odd byte>" : "");
  }
  char buffer[64];
  if (type == REG_DWORD && data.size() == 4) {
    const DWORD value = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<DWORD>(data[3]) << 24);
    std::snprintf(buffer, sizeof buffer, "0x%08lX (%lu)", static_cast<unsigned long>(value),
                  static_cast<unsigned long>(value));
    return buffer;
  }
  std::string hex;
  for (BYTE b : data) {
    std::snprintf(buffer, sizeof buffer, "%02X", b);
    hex += buffer;
  }
  return hex;
}

void RecordValues(HKEY key, const Placeholders& placeholders) {
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD length = sizeof name;
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  std::sort(names.begin(), names.end(), NameLess);
  for (const auto& name : names) {
    // The stored data, as the wide function returns it.
    std::vector<WCHAR> wideName(name.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wideName.data(), static_cast<int>(wideName.size()));
    DWORD type = 0;
    DWORD size = 0;
    const std::string shownName = name.empty() ? "(default)" : "\"" + Normalize(Utf8FromAnsi(name), placeholders) + "\"";
    if (RegQueryValueExW(key, wideName.data(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      Line("  " + shownName + " unreadable");
      continue;
    }
    std::vector<BYTE> data(size);
    RegQueryValueExW(key, wideName.data(), nullptr, &type, data.data(), &size);
    data.resize(size);
    size_t shownSize = 0;
    const std::string shown = Data(type, data, placeholders, &shownSize);
    Line("  " + shownName + " " + TypeName(type) + " " + std::to_string(shownSize) + " bytes: " + shown);
  }
}

void RecordTree(HKEY root, const std::string& shownPath, const std::string& path, const Placeholders& placeholders) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    Line("absent " + shownPath);
    return;
  }
  Line("key " + Normalize(Utf8FromAnsi(shownPath), placeholders));
  RecordValues(key, placeholders);
  std::vector<std::string> children;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name, length);
  }
  RegCloseKey(key);
  std::sort(children.begin(), children.end(), NameLess);
  for (const auto& child : children) RecordTree(root, shownPath + "\\" + child, path + "\\" + child, placeholders);
}

}  // namespace

void RecordKey(HKEY root, const std::string& rootName, const std::string& path, const Placeholders& placeholders) {
  Line("== registry " + rootName + "\\" + path);
  RecordTree(root, rootName + "\\" + path, path, placeholders);
}

}  // namespace record
