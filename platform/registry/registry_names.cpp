#include "registry_names.h"

#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::registry {

SubkeyPath SplitSubkey(std::u16string_view subkey) {
  SubkeyPath result;
  if (!subkey.empty() && subkey.front() == u'\\') {
    result.error = ERROR_BAD_PATHNAME;
    return result;
  }
  size_t start = 0;
  while (start <= subkey.size()) {
    size_t end = subkey.find(u'\\', start);
    if (end == std::u16string_view::npos) end = subkey.size();
    std::u16string_view part = subkey.substr(start, end - start);
    if (part.size() > kMaxKeyNameChars) {
      result.error = ERROR_INVALID_PARAMETER;
      result.parts.clear();
      return result;
    }
    if (!part.empty()) result.parts.emplace_back(part);
    start = end + 1;
  }
  return result;
}

bool SeesView32(REGSAM sam) {
  if (Config().arch != "x64") return false;
  if (sam & KEY_WOW64_32KEY) return true;
  return IsWow64() && !(sam & KEY_WOW64_64KEY);
}

std::vector<std::u16string> ApplyView(Hive hive, size_t fixedPrefix, std::vector<std::u16string> path, bool view32) {
  if (hive != Hive::Machine) return path;
  auto is = [&](size_t i, std::u16string_view name) { return i < path.size() && EqualsNoCase(path[i], name); };
  if (view32 && fixedPrefix == 0 && is(0, u"Software") && !is(1, u"WOW6432Node")) {
    path.insert(path.begin() + 1, u"WOW6432Node");
  }
  if (is(0, u"Software") && is(1, u"WOW6432Node") && is(2, u"Classes")) {
    std::swap(path[1], path[2]);
  }
  return path;
}

}  // namespace winsim::registry
