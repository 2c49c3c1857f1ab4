#include "profile_document.h"

#include "winsim/codepage.h"

namespace winsim::profile {

bool IsProfileBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0x1A; }

std::u16string_view TrimLeadingBlanks(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && IsProfileBlank(text[start])) ++start;
  return text.substr(start);
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  text = TrimLeadingBlanks(text);
  size_t end = text.size();
  while (end > 0 && IsProfileBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

bool ProfileEntry::Listed() const { return value && !name.empty() && name[0] != u';'; }

namespace {

ProfileEntry ParseEntry(std::u16string_view line, std::u16string_view verbatim) {
  ProfileEntry entry;
  size_t equals = line.find(u'=');
  entry.verbatim = verbatim;
  if (equals == std::u16string_view::npos) {
    entry.name = line;
    return entry;
  }
  entry.name = TrimBlanks(line.substr(0, equals));
  entry.value = std::u16string(TrimBlanks(line.substr(equals + 1)));
  return entry;
}

void AppendEntry(std::u16string& out, const ProfileEntry& entry, bool keepIndent) {
  if (entry.value) {
    if (keepIndent) out += entry.verbatim.substr(0, entry.verbatim.size() - TrimLeadingBlanks(entry.verbatim).size());
    out += entry.name;
    out += u'=';
    out += *entry.value;
  } else {
    out += entry.verbatim;
  }
  out += u"\r\n";
}

bool SameName(std::u16string_view stored, std::u16string_view query) {
  return EqualsNoCase(stored, TrimBlanks(query));
}

}  // namespace

ProfileDocument ProfileDocument::Parse(std::u16string_view text) {
  ProfileDocument doc;
  std::vector<ProfileEntry>* entries = &doc.preamble_;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of(u"\r\n", pos);
    if (end == std::u16string_view::npos) end = text.size();
    std::u16string_view verbatim = text.substr(pos, end - pos);
    std::u16string_view line = TrimBlanks(verbatim);
    pos = end + 1;
    if (line.empty()) continue;
    if (line[0] == u'[') {
      size_t close = line.rfind(u']');
      if (close == std::u16string_view::npos) {
        // "[Open": not a header, not a key, but written back as it stood
        // (dropping it could even make the bytes after it a byte-order mark).
        entries->push_back(ProfileEntry{std::u16string(), std::nullopt, std::u16string(verbatim)});
        continue;
      }
      doc.sections_.push_back(ProfileSection{std::u16string(TrimBlanks(line.substr(1, close - 1))), {}});
      entries = &doc.sections_.back().entries;
      continue;
    }
    entries->push_back(ParseEntry(line, verbatim));
  }
  return doc;
}

std::u16string ProfileDocument::Serialize(bool keepFirstIndent) const {
  std::u16string out;
  for (const auto& entry : preamble_) AppendEntry(out, entry, keepFirstIndent && out.empty());
  for (const auto& section : sections_) {
    out += u'[';
    out += section.name;
    out += u"]\r\n";
    for (const auto& entry : section.entries) AppendEntry(out, entry, false);
  }
  return out;
}

const ProfileSection* ProfileDocument::FindSection(std::u16string_view name) const {
  for (const auto& section : sections_)
    if (SameName(section.name, name)) return &section;
  return nullptr;
}

ProfileSection* ProfileDocument::FindSectionMutable(std::u16string_view name) {
  return const_cast<ProfileSection*>(FindSection(name));
}

const ProfileEntry* ProfileDocument::FindEntry(const ProfileSection& section, std::u16string_view key) {
  for (const auto& entry : section.entries)
    if (SameName(entry.name, key)) return &entry;
  return nullptr;
}

std::vector<std::u16string_view> ProfileDocument::SectionNames() const {
  std::vector<std::u16string_view> names;
  // A "[]" header has an empty name, which would read as the list's end.
  for (const auto& section : sections_)
    if (!section.name.empty()) names.push_back(section.name);
  return names;
}

std::vector<std::u16string_view> ProfileDocument::KeyNames(const ProfileSection& section) {
  std::vector<std::u16string_view> names;
  for (const auto& entry : section.entries)
    if (entry.Listed()) names.push_back(entry.name);
  return names;
}

bool ProfileDocument::SetValue(std::u16string_view sectionName, std::u16string_view key,
                               std::u16string_view value) {
  // Leading blanks of the value are dropped, trailing ones are written
  // (and trimmed again when the file is next read).
  value = TrimLeadingBlanks(value);
  ProfileSection* section = FindSectionMutable(sectionName);
  if (!section) {
    // New names keep their trailing blanks, as Windows writes them.
    sections_.push_back(ProfileSection{std::u16string(TrimLeadingBlanks(sectionName)), {}});
    section = &sections_.back();
  }
  auto* entry = const_cast<ProfileEntry*>(FindEntry(*section, key));
  if (entry) {
    if (entry->value && *entry->value == value) return false;
    entry->value = std::u16string(value);
    return true;
  }
  section->entries.push_back(ProfileEntry{std::u16string(TrimLeadingBlanks(key)), std::u16string(value), {}});
  return true;
}

bool ProfileDocument::DeleteKey(std::u16string_view sectionName, std::u16string_view key) {
  // Every section of that name is searched, the first matching line goes.
  for (auto& section : sections_) {
    if (!SameName(section.name, sectionName)) continue;
    for (auto it = section.entries.begin(); it != section.entries.end(); ++it) {
      if (SameName(it->name, key)) {
        section.entries.erase(it);
        return true;
      }
    }
  }
  return false;
}

bool ProfileDocument::DeleteSection(std::u16string_view sectionName) {
  for (auto it = sections_.begin(); it != sections_.end(); ++it) {
    if (SameName(it->name, sectionName)) {
      sections_.erase(it);
      return true;
    }
  }
  return false;
}

}  // namespace winsim::profile
