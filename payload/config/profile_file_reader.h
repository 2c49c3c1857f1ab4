// Reads a setup configuration file the way the Windows private-profile
// functions see it: bracketed section heads and name=value lines, names and
// values trimmed of blanks. Stricter than Windows in one respect: anything
// else (a comment, a stray word) is reported, because the same file must
// also pass OpenSSL's configuration reader unchanged.
#pragma once

#include <string>
#include <vector>

namespace payload {

struct ProfileEntry {
  std::string name;
  std::string value;
};

struct ProfileSection {
  std::string name;
  std::vector<ProfileEntry> entries;
};

struct ProfileFile {
  std::vector<ProfileSection> sections;
  std::vector<std::string> problems;  // one line per fault, with its line number

  const ProfileSection* Find(const std::string& section) const;
  const ProfileEntry* Find(const std::string& section, const std::string& key) const;
};

// `bytes` is the whole file. Line ends must be CRLF.
ProfileFile ReadProfileFile(const std::string& bytes);

}  // namespace payload
