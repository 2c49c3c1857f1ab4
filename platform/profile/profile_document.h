// The contents of an initialization file as Windows sees them: sections of
// name/value lines, parsed from text and written back in normalized form.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace winsim::profile {

// Blank, tab and ^Z (the old DOS end-of-file mark) are trimmed around
// section names, key names and values.
bool IsProfileBlank(char16_t c);
std::u16string_view TrimBlanks(std::u16string_view text);
std::u16string_view TrimLeadingBlanks(std::u16string_view text);

// One line that is not a section header.
struct ProfileEntry {
  std::u16string name;                  // text before the first '=', trimmed
  std::optional<std::u16string> value;  // text after it, trimmed; none for a line without '='
  std::u16string verbatim;              // the line as it stood, blanks and all (none for a new line)

  // Comment lines (';'), lines without '=' and an empty name (which would
  // read as the end of the list) are not listed as keys.
  bool Listed() const;
};

struct ProfileSection {
  std::u16string name;
  std::vector<ProfileEntry> entries;
};

class ProfileDocument {
 public:
  // Lines end at '\n' or '\r'; blank lines vanish; a '[' line without ']'
  // is neither a header nor a key, and is kept as it stood.
  static ProfileDocument Parse(std::u16string_view text);
  // "[name]\r\n" and "name=value\r\n" lines, without blank lines; a line
  // without '=' is written back as it stood. `keepFirstIndent`: the first
  // line keeps the blanks it started with.
  std::u16string Serialize(bool keepFirstIndent = false) const;

  // Queries; names are matched trimmed and case-insensitively, and the first
  // of duplicate sections or keys wins.
  const ProfileSection* FindSection(std::u16string_view name) const;
  static const ProfileEntry* FindEntry(const ProfileSection& section, std::u16string_view key);
  std::vector<std::u16string_view> SectionNames() const;
  static std::vector<std::u16string_view> KeyNames(const ProfileSection& section);

  // Changes; each returns true when the document changed.
  bool SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  bool DeleteKey(std::u16string_view section, std::u16string_view key);
  bool DeleteSection(std::u16string_view section);

 private:
  ProfileSection* FindSectionMutable(std::u16string_view name);

  // Lines before the first section header (written back without a header).
  std::vector<ProfileEntry> preamble_;
  std::vector<ProfileSection> sections_;
};

}  // namespace winsim::profile
