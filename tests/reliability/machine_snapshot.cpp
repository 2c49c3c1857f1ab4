#include "machine_snapshot.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "windows.h"
#include "winsim/machine.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;

// FNV-1a of a file's bytes: enough to tell two versions of a file apart.
std::string Digest(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  uint64_t h = 1469598103934665603ull;
  char c;
  while (in.get(c)) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

void AddFiles(Snapshot* out) {
  const fs::path root = winsim::DriveCRoot();
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (ec) break;
    const std::string rel = "file C:/" + fs::relative(it->path(), root, ec).string();
    if (it->is_directory(ec)) {
      out->insert(rel + "/");
    } else if (Lower(it->path().extension().string()) == ".log") {
      out->insert(rel + "|log");
    } else if (Lower(it->path().parent_path().parent_path().filename().string()) == "interfaces") {
      // Wireless profiles are kept under names made afresh for each: the
      // profile is its content.
      out->insert("file C:/" + fs::relative(it->path().parent_path(), root, ec).string() + "/<profile>|" +
                  Digest(it->path()));
    } else {
      out->insert(rel + "|" + Digest(it->path()));
    }
  }
}

std::string Hex(const std::vector<BYTE>& data, DWORD size) {
  std::string out;
  char two[4];
  for (DWORD i = 0; i < size; ++i) {
    std::snprintf(two, sizeof two, "%02x", data[i]);
    out += two;
  }
  return out;
}

void AddKey(HKEY parent, const std::string& name, const std::string& path, REGSAM view, Snapshot* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
  out->insert("key " + path);
  std::vector<BYTE> data(1 << 20);
  for (DWORD i = 0;; ++i) {
    char valueName[16384];
    DWORD nameLength = sizeof valueName;
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key, i, valueName, &nameLength, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
    out->insert("value " + path + " \\ " + std::string(valueName, nameLength) + " = " + std::to_string(type) + ":" +
                Hex(data, size));
  }
  std::vector<std::string> subkeys;
  for (DWORD i = 0;; ++i) {
    char sub[1024];
    DWORD length = sizeof sub;
    if (RegEnumKeyExA(key, i, sub, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(sub, length);
  }
  for (const auto& sub : subkeys) AddKey(key, sub, path + "\\" + sub, view, out);
  RegCloseKey(key);
}

}  // namespace

Snapshot TakeSnapshot() {
  Snapshot s;
  AddFiles(&s);
  AddKey(HKEY_LOCAL_MACHINE, "", "HKLM64", KEY_WOW64_64KEY, &s);
  AddKey(HKEY_LOCAL_MACHINE, "Software", "HKLM32\\Software", KEY_WOW64_32KEY, &s);
  AddKey(HKEY_CURRENT_USER, "", "HKCU", 0, &s);
  return s;
}

std::string PathOf(const std::string& line) { return line.substr(0, line.find('|')); }

std::string Missing(const Snapshot& a, const Snapshot& b, size_t limit) {
  std::string out;
  size_t n = 0;
  for (const auto& line : a) {
    if (b.count(line)) continue;
    if (n++ < limit) out += "  " + line + "\n";
  }
  if (n > limit) out += "  ... and " + std::to_string(n - limit) + " more\n";
  return out;
}

std::string RegistryIntegrity() {
  // A machine whose registry nobody has written yet has no database.
  std::error_code ec;
  if (!fs::exists(winsim::RegistryPath(), ec)) return "ok";
  sqlite3* db = nullptr;
  std::string result;
  if (sqlite3_open_v2(winsim::RegistryPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    result = std::string("cannot open: ") + sqlite3_errmsg(db);
    sqlite3_close(db);
    return result;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      if (!result.empty()) result += "; ";
      result += reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    }
  } else {
    result = sqlite3_errmsg(db);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return result;
}

}  // namespace reliability
