// FindFirstFileA, FindNextFileA and FindClose. A search takes a snapshot of
// the matching names, sorted as Windows lists them on NTFS: "." and ".."
// first (except at a drive root), then by the upper-cased name; each
// name's find data is looked up as the search goes (found_entries.h).
#include <dirent.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dos_wildcards.h"
#include "found_entries.h"
#include "path_argument.h"
#include "short_names.h"
#include "windows.h"
#include "winsim/codepage.h"
#include "winsim/handles.h"

namespace {

using winsim::files::HostBaseName;
using winsim::files::HostParent;

struct FindObject : winsim::KernelObject {
  explicit FindObject(std::vector<winsim::files::PendingEntry> pending) : entries(std::move(pending)) {}
  winsim::ObjectKind Kind() const override { return winsim::ObjectKind::Find; }
  std::mutex mutex;
  winsim::files::FoundEntries entries;
};

struct Entry {
  std::u16string name;    // as listed
  std::string host;       // where it is on the host
  std::u16string sortKey;
};

std::string JoinHost(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// The entries of a host folder, without "." and "..".
std::vector<std::u16string> ListFolder(const std::string& folder) {
  std::vector<std::u16string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.push_back(winsim::Utf8ToUtf16(e->d_name));
  }
  closedir(dir);
  return names;
}

// The entry as the search will report it; false when it cannot be (a name
// too long for the A structure).
bool Prepare(const Entry& entry, std::string alternate, unsigned cp, winsim::files::PendingEntry* out) {
  std::string name = winsim::FromUtf16(entry.name, cp);
  if (name.size() >= sizeof WIN32_FIND_DATAA::cFileName) return false;
  if (alternate.size() >= sizeof WIN32_FIND_DATAA::cAlternateFileName) return false;
  *out = {entry.host, std::move(name), std::move(alternate)};
  return true;
}

// Alternate names of the given entries of a folder, worked out over the
// folder's whole listing so that "~N" numbers are stable.
std::vector<std::string> AlternatesFor(const std::vector<std::u16string>& listing, const std::vector<Entry>& entries,
                                       unsigned cp) {
  // Where every name fits 8.3 there is nothing to number or sort.
  bool allFit = true;
  for (const auto& name : listing) {
    if (!winsim::files::FitsEightDotThree(name, cp)) {
      allFit = false;
      break;
    }
  }
  if (allFit) return std::vector<std::string>(entries.size());
  std::vector<std::pair<std::u16string, std::u16string>> keyed;  // upper-cased name, name
  keyed.reserve(listing.size());
  for (const auto& name : listing) keyed.emplace_back(winsim::Upcase(name), name);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::u16string> all;
  all.reserve(keyed.size());
  for (auto& entry : keyed) all.push_back(std::move(entry.second));
  std::vector<std::string> alternates = winsim::files::AlternateNames(all, cp);
  std::unordered_map<std::u16string, size_t> place;  // the first of equal names, as a linear search finds it
  for (size_t i = 0; i < all.size(); ++i) place.emplace(all[i], i);
  std::vector<std::string> out;
  for (const Entry& e : entries) {
    auto it = place.find(e.name);
    out.push_back(it == place.end() ? std::string() : alternates[it->second]);
  }
  return out;
}

// The entries of `folder` (listed as `listing`) matching `pattern`, in
// listing order.
std::vector<Entry> Search(const std::string& folder, const std::vector<std::u16string>& listing,
                          const std::u16string& pattern, bool atDriveRoot) {
  std::vector<Entry> dots, found;
  if (!atDriveRoot) {
    for (const char16_t* dot : {u".", u".."}) {
      if (winsim::files::MatchesPattern(pattern, dot))
        dots.push_back({dot, std::u16string(dot) == u"." ? folder : HostParent(folder), u""});
    }
  }
  found.reserve(listing.size());
  for (const auto& name : listing) {
    if (!winsim::files::MatchesPattern(pattern, name)) continue;
    found.push_back({name, JoinHost(folder, winsim::Utf16ToUtf8(name)), winsim::Upcase(name)});
  }
  std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) { return a.sortKey < b.sortKey; });
  dots.insert(dots.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  return dots;
}

// The last component of the name as given (trailing dots included, which
// matter to a pattern).
std::u16string GivenLastComponent(const char* name) {
  std::u16string text = winsim::AnsiToUtf16(name);
  size_t slash = text.find_last_of(u"\\/");
  std::u16string last = slash == std::u16string::npos ? text : text.substr(slash + 1);
  if (last.size() >= 2 && last[1] == u':' && slash == std::u16string::npos) last = last.substr(2);
  return last;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  winsim::ResolvedPath path;
  if (!winsim::files::ResolveArgument(lpFileName, winsim::kAllowWildcards | winsim::kKeepTrailingSlash, &path))
    return INVALID_HANDLE_VALUE;
  if (!lpFindFileData) return Fail(ERROR_INVALID_PARAMETER);
  // A name must not end in a backslash; that includes a drive's root.
  if (path.trailingSlash || path.isDriveRoot) return Fail(path.exists || path.parentExists ? ERROR_FILE_NOT_FOUND
                                                                                          : ERROR_PATH_NOT_FOUND);
  const std::u16string pattern = GivenLastComponent(lpFileName);
  const std::string folder = HostParent(path.host);
  std::vector<Entry> entries;
  // One listing serves the search and the alternate names.
  std::vector<std::u16string> listing;
  if (winsim::files::HasWildcards(pattern)) {
    if (!path.parentExists) return Fail(ERROR_PATH_NOT_FOUND);
    const bool atDriveRoot = path.full.find_last_of(u'\\') == 2;
    listing = ListFolder(folder);
    entries = Search(folder, listing, pattern, atDriveRoot);
  } else {
    if (!path.exists) return Fail(winsim::files::MissingError(path));
    std::string stored = HostBaseName(path.host);
    entries.push_back({winsim::Utf8ToUtf16(stored), path.host, u""});
    listing = ListFolder(folder);
  }

  const unsigned cp = winsim::ActiveCodePage();  // once: looking it up reads the machine's settings
  std::vector<std::string> alternates = AlternatesFor(listing, entries, cp);
  std::vector<winsim::files::PendingEntry> pending;
  pending.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    pending.emplace_back();
    if (!Prepare(entries[i], std::move(alternates[i]), cp, &pending.back())) pending.pop_back();
  }
  auto find = std::make_shared<FindObject>(std::move(pending));
  if (!find->entries.Next(lpFindFileData)) return Fail(ERROR_FILE_NOT_FOUND);
  return winsim::NewHandle(find);
}

extern "C" BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  auto find = winsim::LookupHandleAs<FindObject>(hFindFile, winsim::ObjectKind::Find);
  if (!find) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!lpFindFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(find->mutex);
  if (!find->entries.Next(lpFindFileData)) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI FindClose(HANDLE hFindFile) {
  if (!winsim::LookupHandleAs<FindObject>(hFindFile, winsim::ObjectKind::Find) || !winsim::ReleaseHandle(hFindFile)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}
