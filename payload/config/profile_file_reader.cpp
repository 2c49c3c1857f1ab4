#include "profile_file_reader.h"

#include <strings.h>

namespace payload {
namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;  // Windows compares ASCII names without case
}

}  // namespace

const ProfileSection* ProfileFile::Find(const std::string& section) const {
  for (const ProfileSection& s : sections)
    if (SameName(s.name, section)) return &s;
  return nullptr;
}

const ProfileEntry* ProfileFile::Find(const std::string& section, const std::string& key) const {
  const ProfileSection* s = Find(section);
  if (!s) return nullptr;
  for (const ProfileEntry& e : s->entries)
    if (SameName(e.name, key)) return &e;
  return nullptr;
}

ProfileFile ReadProfileFile(const std::string& bytes) {
  ProfileFile file;
  size_t pos = 0;
  int number = 0;
  while (pos < bytes.size()) {
    ++number;
    size_t end = bytes.find('\n', pos);
    const bool lastLine = end == std::string::npos;
    if (lastLine) end = bytes.size();
    std::string line = bytes.substr(pos, end - pos);
    pos = end + 1;
    const std::string where = "line " + std::to_string(number) + ": ";

    if (!lastLine) {
      if (line.empty() || line.back() != '\r') file.problems.push_back(where + "line end is not CRLF");
      else line.pop_back();
    }
    if (line.find('\r') != std::string::npos) file.problems.push_back(where + "stray CR");

    const std::string text = Trim(line);
    if (text.empty()) continue;
    if (text.front() == '[') {
      if (text.back() != ']' || text.size() < 3) {
        file.problems.push_back(where + "malformed section head");
        continue;
      }
      const std::string name = text.substr(1, text.size() - 2);
      if (file.Find(name)) file.problems.push_back(where + "section [" + name + "] repeated");
      file.sections.push_back({name, {}});
      continue;
    }
    const size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) {
      file.problems.push_back(where + "neither a section head nor name=value");
      continue;
    }
    if (file.sections.empty()) {
      file.problems.push_back(where + "entry before the first section");
      continue;
    }
    ProfileEntry entry{Trim(text.substr(0, eq)), Trim(text.substr(eq + 1))};
    ProfileSection& section = file.sections.back();
    if (file.Find(section.name, entry.name))
      file.problems.push_back(where + "key " + entry.name + " repeated in [" + section.name + "]");
    section.entries.push_back(std::move(entry));
  }
  return file;
}

}  // namespace payload
