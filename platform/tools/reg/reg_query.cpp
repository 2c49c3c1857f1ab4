// REG QUERY: a key's values and subkeys, one value, or a search with /s.
#include <cstdio>

#include "console_text.h"
#include "reg_commands.h"
#include "reg_key_name.h"
#include "reg_messages.h"
#include "reg_value_text.h"

namespace reg {
namespace {

void Line(const std::string& text) { console::WriteAnsi(stdout, text + "\n"); }

void ValueLine(const std::string& name, DWORD type, const std::string* data) {
  std::string shownName = name.empty() ? "(Default)" : name;
  std::string shownData = data ? FormatData(type, *data) : "(value not set)";
  Line("    " + shownName + "    " + TypeName(type) + "    " + shownData);
}

// Everything in a key; with `recurse`, every subkey in turn, each with its path.
void QueryAll(HKEY key, const std::string& display, bool recurse, bool nested, REGSAM view) {
  DWORD count = 0;
  for (;; ++count) {
    std::string name, data;
    DWORD type = 0;
    if (ReadValueAt(key, count, &name, &type, &data) != ERROR_SUCCESS) break;
    if (count == 0) Line(display);
    ValueLine(name, type, &data);
  }
  if (count == 0 && nested) Line(display);
  if (count || nested) Line("");
  for (DWORD i = 0;; ++i) {
    auto subkey = SubkeyAt(key, i);
    if (!subkey) break;
    std::string path = SubkeyDisplay(display, *subkey);
    if (!recurse) {
      Line(path);
      continue;
    }
    HKEY child;
    if (RegOpenKeyExA(key, subkey->c_str(), 0, KEY_READ | view, &child) == ERROR_SUCCESS) {
      QueryAll(child, path, true, true, view);
      RegCloseKey(child);
    }
  }
}

// One value of a key, and with `recurse` of every key below it.
void SearchValue(HKEY key, const std::string& name, const std::string& display, REGSAM view, unsigned* matches) {
  DWORD type = 0;
  std::string data;
  if (ReadValue(key, name.c_str(), &type, &data) == ERROR_SUCCESS) {
    Line(display);
    ValueLine(name, type, &data);
    Line("");
    ++*matches;
  }
  for (DWORD i = 0;; ++i) {
    auto subkey = SubkeyAt(key, i);
    if (!subkey) break;
    HKEY child;
    if (RegOpenKeyExA(key, subkey->c_str(), 0, KEY_READ | view, &child) == ERROR_SUCCESS) {
      SearchValue(child, name, SubkeyDisplay(display, *subkey), view, matches);
      RegCloseKey(child);
    }
  }
}

int QueryValue(HKEY key, const std::string& name, const std::string& display, bool recurse, REGSAM view) {
  if (recurse) {
    Line("");
    unsigned matches = 0;
    SearchValue(key, name, display, view, &matches);
    Line("End of search: " + std::to_string(matches) + " match(es) found.");
    return matches ? kExitSuccess : kExitFailure;
  }
  DWORD type = 0;
  std::string data;
  LSTATUS status = ReadValue(key, name.c_str(), &type, &data);
  if (status == ERROR_FILE_NOT_FOUND && name.empty()) {
    // The default value always exists for reg.exe: "(value not set)".
    Line("");
    Line(display);
    ValueLine(name, REG_SZ, nullptr);
    Line("");
    return kExitSuccess;
  }
  if (status != ERROR_SUCCESS) return Failure(status);
  Line("");
  Line(display);
  ValueLine(name, type, &data);
  Line("");
  return kExitSuccess;
}

}  // namespace

int RunQuery(const std::vector<std::string>& args) {
  if (args.empty()) return InvalidSyntax("QUERY");
  auto name = ParseKeyName(args[0]);
  Options options;
  if (!ParseOptions(args, 1, "v ve s recurse reg", &options) || (options.value && options.valueEmpty)) {
    return InvalidSyntax("QUERY");
  }
  if (!name) return InvalidKeyName("QUERY");
  HKEY key;
  LSTATUS status = RegOpenKeyExA(name->root, name->path.c_str(), 0, KEY_READ | options.view, &key);
  if (status != ERROR_SUCCESS) return Failure(status);
  int exitCode = kExitSuccess;
  if (options.value || options.valueEmpty) {
    exitCode = QueryValue(key, options.value.value_or(""), name->display, options.recurse, options.view);
  } else {
    Line("");
    QueryAll(key, name->display, options.recurse, false, options.view);
  }
  if (key != name->root) RegCloseKey(key);
  return exitCode;
}

}  // namespace reg
