// The names of the stored profiles, remembered between commands so that a
// command does not read and parse every profile document. Kept in the
// machine folder (cache/wlan_profiles, not on drive C:); a file's entry
// counts only while the file's size and last write time are those recorded,
// so a profile written or replaced by anyone is read again, and a missing
// or damaged cache only costs the reading.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace netsh {

struct IndexedFile {
  uint64_t size = 0;
  uint64_t writeTime = 0;   // FILETIME units
  bool isProfile = false;   // false: a document that is no profile
  std::string name;         // the profile's name, UTF-8
};

class ProfileIndex {
 public:
  using Key = std::pair<bool, std::string>;  // current user's folder, file name

  // The cache as last saved; empty when there is none or it is unreadable.
  static ProfileIndex Load();

  // What is known of the file, when its size and write time still match.
  const IndexedFile* Find(const Key& key, uint64_t size, uint64_t writeTime) const;
  const std::map<Key, IndexedFile>& Entries() const { return entries_; }
  void Put(const Key& key, IndexedFile file) { entries_[key] = std::move(file); }

  // Writes the cache (replacing the old one in one step); failures are
  // ignored, as the cache is only an aid.
  void Save() const;

  // The text form, one line per file (also used by the tests).
  std::string Serialize() const;
  static ProfileIndex Parse(const std::string& text);

 private:
  std::map<Key, IndexedFile> entries_;
};

}  // namespace netsh
