// Matching names against FindFirstFile patterns with Windows' rules:
// "*.*" matches every name (also names without a dot), '?' before a dot or
// at the end may match nothing ("a?.txt" matches "a.txt"), a '*' followed
// by a dot stops at the name's last dot, and a dot followed by a wildcard
// or at the end may match the end of the name ("name.*" and "name."
// match "name"). Case-insensitive, by Windows' case folding.
#pragma once
#include <string_view>

#include "winsim/paths.h"

namespace winsim::files {

using winsim::HasWildcards;
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name);

}  // namespace winsim::files
