// Console output of the stand-in programs. A Windows console program writes
// in the console code page; these write to the host terminal, so texts of
// the machine's ANSI code page are converted to UTF-8 on the way out.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

namespace console {

// `text` is in the machine's ANSI code page.
void WriteAnsi(std::FILE* stream, std::string_view text);
// `text` is UTF-8 already.
void WriteUtf8(std::FILE* stream, std::string_view text);

// Asks "(Yes/No)?"-style questions on standard input: true for an answer
// starting with y or Y; no answer (end of input) is a no.
bool AskYes(std::string_view promptAnsi);

}  // namespace console
