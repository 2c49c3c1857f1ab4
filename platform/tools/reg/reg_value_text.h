// Value types and data as reg.exe shows and takes them. Texts are in the
// machine's ANSI code page, as the A functions of the registry give them.
#pragma once
#include <optional>
#include <string>

#include "windows.h"

namespace reg {

// "REG_SZ", ...; "REG_UNKNOWN" for a type reg.exe has no name for.
std::string TypeName(DWORD type);
// The type for a /t argument (case-insensitive); nothing for an unknown one.
std::optional<DWORD> TypeFromName(const std::string& name);

// The data column of a query line: strings as they are (REG_MULTI_SZ parts
// joined by "\0"), numbers as 0x..., anything else as hex digits.
std::string FormatData(DWORD type, const std::string& data);

// The bytes to store for /d (with /s separator for REG_MULTI_SZ). Nothing
// when the text does not fit the type; *problem then says which.
std::optional<std::string> ParseData(DWORD type, const std::string& text, char separator, std::string* problem);

}  // namespace reg
