// Text helpers of the machine record: everything the record prints passes
// through Normalize(), so the two machines' records differ only where the
// machines do.
#pragma once
#include <cstdint>
#include <string>

#include "windows.h"

namespace record {

// The machine-specific folders replaced by placeholders in every line.
struct Placeholders {
  std::string source;   // the source folder's Windows path -> "<source>"
  std::string appData;  // the user's AppData folder -> "<appdata>"
};

// UTF-8 from text in the ANSI code page, and from UTF-16 code units.
std::string Utf8FromAnsi(const std::string& ansi);
std::string Utf8FromWide(const WCHAR* text, size_t length);

// Replaces the placeholders' folders (both in UTF-8).
std::string Substitute(const std::string& utf8, const Placeholders& placeholders);
// Shows control characters as <NUL>, <CR>, <LF>, <TAB>, <xNN>.
std::string Escape(const std::string& text);
// Both: Escape(Substitute(...)).
std::string Normalize(const std::string& utf8, const Placeholders& placeholders);
// UTF-16 code units of UTF-8 text (a NUL counts as one).
size_t WideLength(const std::string& utf8);

// FNV-1a, 64 bits, as 16 hex digits.
std::string Hash(const std::string& bytes);

// Whole file through CreateFileA/ReadFile; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes);

// The record is written in one place, so both builds print it alike.
void Line(const std::string& text);

}  // namespace record
