// Reading what a run left behind in a Wine prefix: a value of the
// configuration copy (an INI file, read from the host) and a value of a
// `reg query` listing. Portable text handling, tested without Wine.
#pragma once

#include <optional>
#include <string>

namespace winewizard {

// The value of `key` in `[section]` of an INI text (names compared
// without regard to case, blanks around the value dropped); nullopt when
// the section or the key is missing.
std::optional<std::string> IniValue(const std::string& text, const std::string& section, const std::string& key);

// The data of the value `name` in the output of `reg query <key>`:
//     <name>    REG_SZ    <data>
// nullopt when the listing has no such value.
std::optional<std::string> RegQueryValue(const std::string& output, const std::string& name);

}  // namespace winewizard
