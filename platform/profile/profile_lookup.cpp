#include "profile_lookup.h"

#include <mutex>

#include "profile_document.h"
#include "profile_encoding.h"
#include "profile_storage.h"
#include "winerror.h"

namespace winsim::profile {
namespace {

// Only trailing blanks of the default are dropped; leading ones stay.
std::u16string EffectiveDefault(const WCHAR* defaultValue) {
  if (!defaultValue) return {};
  std::u16string text(defaultValue);
  while (!text.empty() && text.back() == u' ') text.pop_back();
  return text;
}

// One matching pair of outer quotes is removed from a stored value.
std::u16string Unquoted(const std::u16string& value) {
  if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

void SetList(ProfileAnswer* answer, const std::vector<std::u16string_view>& names) {
  answer->isList = true;
  answer->names.assign(names.begin(), names.end());
}

}  // namespace

DWORD LookUpProfileString(const WCHAR* section, const WCHAR* key, const WCHAR* defaultValue,
                          const WCHAR* fileName, ProfileAnswer* answer) {
  *answer = ProfileAnswer{};
  answer->text = EffectiveDefault(defaultValue);

  std::string bytes;
  DWORD error;
  {
    std::lock_guard<std::mutex> lock(ProfileFilesMutex());
    error = ReadProfileFile(ResolveProfileName(fileName), &bytes);
  }
  if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) return error;
  bool missing = error == ERROR_FILE_NOT_FOUND;
  ProfileDocument doc = ProfileDocument::Parse(DecodeProfileBytes(bytes).text);

  if (!section) {
    SetList(answer, doc.SectionNames());
    return error;
  }
  const ProfileSection* found = doc.FindSection(section);
  if (!key) {
    // A missing file lists nothing; an existing file without the section
    // gives the default.
    if (missing) SetList(answer, {});
    else if (found) SetList(answer, ProfileDocument::KeyNames(*found));
    return error;
  }
  const ProfileEntry* entry = found ? ProfileDocument::FindEntry(*found, key) : nullptr;
  if (!entry || !entry->value) return ERROR_FILE_NOT_FOUND;  // the default, as for a missing file
  answer->text = Unquoted(*entry->value);
  return error;
}

}  // namespace winsim::profile
