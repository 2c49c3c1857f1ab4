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

namespace {

// The subkeys of the shared Software\Classes that the 32-bit view still
// redirects, as Windows documents them; every other class key is one key
// for both views.
bool IsRedirectedClassKey(std::u16string_view name) {
  for (std::u16string_view redirected : {u"CLSID", u"DirectShow", u"Interface", u"Media Type", u"MediaFoundation"}) {
    if (EqualsNoCase(name, redirected)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::u16string> ApplyView(Hive hive, size_t fixedPrefix, std::vector<std::u16string> path, bool view32) {
  auto is = [&](size_t i, std::u16string_view name) { return i < path.size() && EqualsNoCase(path[i], name); };
  // The view decides at the component after a redirection point, and only
  // where that component is walked now (not part of an opened handle).
  auto walksThrough = [&](size_t index) { return fixedPrefix <= index && index < path.size(); };
  // HKLM\Software\Classes and HKCU\Software\Classes: where the class keys begin.
  const size_t classes = hive == Hive::Machine ? 0 : 1;
  if (view32 && is(classes, u"Software") && is(classes + 1, u"Classes") && walksThrough(classes + 2) &&
      IsRedirectedClassKey(path[classes + 2])) {
    path.insert(path.begin() + static_cast<std::ptrdiff_t>(classes + 2), u"WOW6432Node");
    return path;
  }
  if (hive != Hive::Machine) return path;
  // HKLM\Software itself opened in the 32-bit view is WOW6432Node too.
  if (view32 && is(0, u"Software") && fixedPrefix <= 1 && fixedPrefix < path.size() && !is(1, u"WOW6432Node") &&
      !is(1, u"Classes")) {
    path.insert(path.begin() + 1, u"WOW6432Node");
  }
  if (is(0, u"Software") && is(1, u"WOW6432Node") && is(2, u"Classes")) {
    std::swap(path[1], path[2]);
  }
  return path;
}

}  // namespace winsim::registry
