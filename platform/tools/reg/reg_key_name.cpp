#include "reg_key_name.h"

#include "console_args.h"

namespace reg {
namespace {

struct Root {
  const char* shortName;
  const char* longName;
  HKEY key;
};

const Root kRoots[] = {
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
    {"HKCU", "HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKU", "HKEY_USERS", HKEY_USERS},
};

}  // namespace

std::optional<KeyName> ParseKeyName(const std::string& text) {
  size_t slash = text.find('\\');
  std::string rootText = text.substr(0, slash);
  std::string rest = slash == std::string::npos ? std::string() : text.substr(slash + 1);
  while (!rest.empty() && rest.back() == '\\') rest.pop_back();
  for (const auto& root : kRoots) {
    if (!console::SameOption(rootText, root.shortName) && !console::SameOption(rootText, root.longName)) continue;
    KeyName name;
    name.root = root.key;
    name.path = rest;
    name.display = rest.empty() ? root.longName : std::string(root.longName) + "\\" + rest;
    return name;
  }
  return std::nullopt;
}

std::string SubkeyDisplay(const std::string& parent, const std::string& name) { return parent + "\\" + name; }

std::string SubkeyPath(const std::string& parent, const std::string& name) {
  return parent.empty() ? name : parent + "\\" + name;
}

}  // namespace reg
