// Windows command-line texts: splitting into arguments the way
// CommandLineToArgvW and the C runtime do, and quoting arguments so that
// they split back unchanged. Texts are bytes of the ANSI code page; the
// characters that matter (blank, tab, quote, backslash) are never trail
// bytes of the Korean code page.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace winsim::process {

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Where the program token of a command line ends: after the closing quote
// of a quoted token (or at the end when it has none), else at the first
// blank. The program token follows its own rule: no escapes inside it.
size_t ProgramTokenEnd(std::string_view line);

// The arguments in a text that follows the program token, split by the
// Windows rules: blanks separate, quotes group, 2n backslashes before a
// quote give n backslashes, 2n+1 give n and a literal quote, and a quote
// doubled inside a quoted part gives a literal quote.
std::vector<std::string> SplitArguments(std::string_view text);

// Quotes an argument as Windows programs do when they build a command
// line: unchanged unless it is empty or holds a blank, tab or quote.
std::string QuoteArgument(std::string_view arg);

}  // namespace winsim::process
