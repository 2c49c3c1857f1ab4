// The arguments of a console program of the machine, taken from its
// GetCommandLineA as the Windows C runtime splits them.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Splits a whole command line: the program token first (up to its closing
// quote, or the first blank; no escapes inside it), then the arguments by
// the C runtime's rules (2n backslashes before a quote give n, 2n+1 give n
// and a literal quote, "" inside quotes gives a quote). Bytes are in the
// ANSI code page; blank, tab, quote and backslash are never trail bytes of
// a double-byte character there.
std::vector<std::string> SplitCommandLine(std::string_view line);

// This program's arguments, without the program token.
std::vector<std::string> ProgramArguments();

// Case-insensitive comparison of ASCII option texts ("/S" equals "/s").
bool SameOption(std::string_view a, std::string_view b);

}  // namespace console
