// Key paths as programs give them, and the registry view a program sees.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "registry_tree.h"
#include "winreg.h"

namespace winsim::registry {

constexpr size_t kMaxKeyNameChars = 255;
constexpr size_t kMaxValueNameChars = 16383;

struct SubkeyPath {
  DWORD error = ERROR_SUCCESS;
  std::vector<std::u16string> parts;
};

// Splits "A\B\C". Empty components (doubled or trailing backslashes) are
// skipped as Windows does; a leading backslash is ERROR_BAD_PATHNAME and a
// component longer than 255 characters ERROR_INVALID_PARAMETER.
SubkeyPath SplitSubkey(std::u16string_view subkey);

// Whether an open or create with these access flags sees the 32-bit view
// (HKLM\Software\WOW6432Node): a 32-bit program on an x64 machine unless it
// asks for KEY_WOW64_64KEY, or any program on x64 asking for KEY_WOW64_32KEY.
bool SeesView32(REGSAM sam);

// The stored path a program's path names. `fixedPrefix` leading components
// come from a handle opened before (the view was applied then); the rest are
// walked now. The 32-bit view turns HKLM\Software\X into
// HKLM\Software\WOW6432Node\X, except Software\Classes, which both views
// share but for the subkeys Windows redirects (CLSID, Interface, ...: to
// Software\Classes\WOW6432Node\CLSID, also below HKCU). The redirection
// applies where its point is walked now, so also below a handle to
// HKLM\Software. HKLM\Software\WOW6432Node\Classes is Windows' link to
// HKLM\Software\Classes\WOW6432Node.
std::vector<std::u16string> ApplyView(Hive hive, size_t fixedPrefix, std::vector<std::u16string> path, bool view32);

}  // namespace winsim::registry
