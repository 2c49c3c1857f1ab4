// 8.3 alternate names (cAlternateFileName) for the entries of one folder.
// A name that already fits 8.3 has none. A longer one gets the classic
// form: up to six characters of the name, "~N", and up to three of the
// extension, upper-cased, with N counting up within the folder in the
// order of the names given. The host keeps no short names, so they are
// worked out afresh from the folder's listing.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace winsim::files {

// Names in the code page `cp` (empty when none), in the order of `names`.
std::vector<std::string> AlternateNames(const std::vector<std::u16string>& names, unsigned cp);

bool FitsEightDotThree(std::u16string_view name, unsigned cp);

}  // namespace winsim::files
