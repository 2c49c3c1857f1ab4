#include "wlan_profile_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>

#include "wlan_profile_index.h"
#include "wlan_profile_xml.h"
#include "winsim/codepage.h"
#include "winsim/paths.h"

namespace netsh {
namespace {

constexpr const char* kInterfaceFolder =
    "C:\\ProgramData\\Microsoft\\Wlansvc\\Profiles\\Interfaces\\{5E0D7B3A-1C42-4F6E-8A9B-2D3C4B5A6F70}";

std::string UserName() {
  char name[256];
  DWORD size = GetEnvironmentVariableA("USERNAME", name, sizeof name);
  return size > 0 && size < sizeof name ? std::string(name, size) : std::string("User");
}

std::string FolderOf(bool currentUser) {
  return currentUser ? std::string(kInterfaceFolder) + "\\Users\\" + UserName() : kInterfaceFolder;
}

// Creates the folder and every missing folder above it.
DWORD MakeFolders(const std::string& path) {
  for (size_t pos = path.find('\\', 3); ; pos = path.find('\\', pos + 1)) {
    std::string part = path.substr(0, pos);
    if (!CreateDirectoryA(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return GetLastError();
    if (pos == std::string::npos) return ERROR_SUCCESS;
  }
}

std::string NewFileName() {
  using namespace std::chrono;
  uint64_t ms = static_cast<uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
  std::random_device random;
  char name[64];
  std::snprintf(name, sizeof name, "{%08X-%04X-4%03X-%04X-%04X%08X}.xml", static_cast<unsigned>(ms >> 16),
                static_cast<unsigned>(ms & 0xFFFF), random() & 0xFFF, (random() & 0x3FFF) | 0x8000,
                random() & 0xFFFF, random());
  return name;
}

// What "*.xml" matches: a name that ends in ".xml" in any case (the pattern
// holds none of the DOS wildcards that would match more).
bool EndsWithXml(const char* name) {
  size_t n = std::strlen(name);
  if (n < 4 || name[n - 4] != '.') return false;
  for (size_t i = 0; i < 3; ++i) {
    char c = name[n - 3 + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    if (c != "xml"[i]) return false;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 0x20);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 0x20);
    if (x != y) return false;
  }
  return true;
}

// A host file's last write time in FILETIME units.
uint64_t WriteTimeOf(const struct stat& st) {
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600ULL;
  return (static_cast<uint64_t>(st.st_mtim.tv_sec) + kSecondsFrom1601To1970) * 10000000ULL +
         static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
}

// Which profiles a listing keeps: every one, or those of one name.
class NameFilter {
 public:
  NameFilter() = default;
  explicit NameFilter(const std::string& nameUtf8)
      : all_(false), nameUtf8_(nameUtf8), name_(winsim::Utf8ToUtf16(nameUtf8)), ascii_(IsAscii(nameUtf8)) {}

  bool KeepsAll() const { return all_; }
  bool Keeps(const std::string& profileName) const {
    if (all_) return true;
    // Two ASCII names compare without conversion; the case folding of the
    // others may match a non-ASCII letter with an ASCII one.
    return ascii_ && IsAscii(profileName) ? EqualsAsciiNoCase(profileName, nameUtf8_)
                                          : winsim::EqualsNoCase(winsim::Utf8ToUtf16(profileName), name_);
  }

 private:
  bool all_ = true;
  std::string nameUtf8_;
  std::u16string name_;
  bool ascii_ = true;
};

// The profiles of one folder that the filter keeps: its files matching
// "*.xml", listed on the host (a listing through FindFirstFileA would also
// work out attributes and short names of every file, which are not needed
// here). A file whose size and write time the index knows keeps its
// recorded name; any other file is read and parsed, and what was learnt
// goes into the index.
void ListFolder(const std::string& folder, bool currentUser, const NameFilter& filter, ProfileIndex* index,
                bool* learnt, std::vector<StoredProfile>* out) {
  winsim::ResolvedPath resolved = winsim::ResolvePathA(folder.c_str());
  if (resolved.error || !resolved.exists || !resolved.isDirectory) return;
  DIR* dir = opendir(resolved.host.c_str());
  if (!dir) return;
  const unsigned cp = winsim::ActiveCodePage();
  std::string fileName;
  while (dirent* entry = readdir(dir)) {
    if (!EndsWithXml(entry->d_name)) continue;
    struct stat st {};
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0 || S_ISDIR(st.st_mode)) continue;
    fileName = entry->d_name;  // an ASCII name is the same in the code page
    for (char c : fileName) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        fileName = winsim::FromUtf16(winsim::Utf8ToUtf16(entry->d_name), cp);
        break;
      }
    }
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    const uint64_t writeTime = WriteTimeOf(st);
    const IndexedFile* known = index->Find(currentUser, fileName, size, writeTime);
    IndexedFile learntFile;
    if (!known) {
      std::string document;
      if (ReadWholeFile(folder + "\\" + fileName, &document) != ERROR_SUCCESS) continue;
      auto info = ReadProfile(document);
      learntFile.size = size;
      learntFile.writeTime = writeTime;
      learntFile.isProfile = info.has_value();
      if (info) learntFile.name = info->name;
      index->Put(currentUser, fileName, learntFile);
      known = &learntFile;
      *learnt = true;
    }
    if (!known->isProfile) continue;  // not a profile: not listed, as Windows skips it
    if (!filter.Keeps(known->name)) continue;
    StoredProfile profile;
    profile.name = known->name;
    profile.path.reserve(folder.size() + 1 + fileName.size());
    profile.path.append(folder).append(1, '\\').append(fileName);
    profile.fileName = fileName;
    profile.currentUser = currentUser;
    out->push_back(std::move(profile));
  }
  closedir(dir);
}

DWORD WriteWholeFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  DWORD error = ok && written == bytes.size() ? ERROR_SUCCESS : GetLastError();
  CloseHandle(file);
  return error;
}

}  // namespace

DWORD ReadWholeFile(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  bytes->clear();
  char buffer[8192];
  DWORD got = 0;
  DWORD error = ERROR_SUCCESS;
  for (;;) {
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      error = GetLastError();
      break;
    }
    if (got == 0) break;
    bytes->append(buffer, got);
  }
  CloseHandle(file);
  return error;
}

namespace {

// The profiles the filter keeps, in the order they were added.
std::vector<StoredProfile> ListKept(const NameFilter& filter) {
  std::vector<StoredProfile> profiles;
  ProfileIndex index = ProfileIndex::Load();
  profiles.reserve(filter.KeepsAll() ? index.Size() + 8 : 1);
  bool learnt = false;
  ListFolder(FolderOf(false), false, filter, &index, &learnt, &profiles);
  ListFolder(FolderOf(true), true, filter, &index, &learnt, &profiles);
  // Saved when a file was read, or when files of the old index are gone.
  if (index.DropUnseen() || learnt) index.Save();
  std::stable_sort(profiles.begin(), profiles.end(),
                   [](const StoredProfile& a, const StoredProfile& b) { return a.fileName < b.fileName; });
  return profiles;
}

}  // namespace

std::vector<StoredProfile> ListProfiles() { return ListKept(NameFilter()); }

// Only the profiles of that name are kept from the listing: the others'
// paths are never formed and nothing but those few is sorted.
std::optional<StoredProfile> FindProfile(const std::string& nameUtf8) {
  std::vector<StoredProfile> named = ListKept(NameFilter(nameUtf8));
  if (named.empty()) return std::nullopt;
  return std::move(named.front());
}

DWORD SaveProfile(const std::string& document, bool currentUser, const std::optional<StoredProfile>& existing) {
  std::string folder = FolderOf(currentUser);
  if (DWORD error = MakeFolders(folder)) return error;
  std::string fileName = existing ? existing->fileName : NewFileName();
  std::string path = folder + "\\" + fileName;
  if (DWORD error = WriteWholeFile(path, document)) return error;
  if (existing && existing->path != path) DeleteFileA(existing->path.c_str());
  return ERROR_SUCCESS;
}

DWORD DeleteProfile(const StoredProfile& profile) {
  return DeleteFileA(profile.path.c_str()) ? ERROR_SUCCESS : GetLastError();
}

}  // namespace netsh
