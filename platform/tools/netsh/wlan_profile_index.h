// The names of the stored profiles, remembered between commands so that a
// command does not read and parse every profile document. Kept in the
// machine folder (cache/wlan_profiles, not on drive C:); a file's entry
// counts only while the file's size and last write time are those recorded,
// so a profile written or replaced by anyone is read again, and a missing
// or damaged cache only costs the reading.
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace netsh {

struct IndexedFile {
  uint64_t size = 0;
  uint64_t writeTime = 0;   // FILETIME units
  bool isProfile = false;   // false: a document that is no profile
  std::string name;         // the profile's name, UTF-8
  bool seen = false;        // found in its folder by this command
};

class ProfileIndex {
 public:
  // The cache as last saved; empty when there is none or it is unreadable.
  static ProfileIndex Load();

  // What is known of the file (of the current user's folder or the all-users
  // one), when its size and write time still match; the entry counts as
  // seen.
  const IndexedFile* Find(bool currentUser, std::string_view fileName, uint64_t size, uint64_t writeTime);
  // What was learnt of a file by reading it (it counts as seen).
  void Put(bool currentUser, std::string_view fileName, IndexedFile file);
  // Forgets the files not seen since the index was loaded; true when there
  // were any.
  bool DropUnseen();
  size_t Size() const;

  // Writes the cache (replacing the old one in one step); failures are
  // ignored, as the cache is only an aid.
  void Save() const;

  // The text form, one line per file, sorted by folder then file name.
  std::string Serialize() const;
  static ProfileIndex Parse(std::string_view text);

 private:
  // The saved entries stay where they were read, in the saved order (by
  // file name), their file names viewing the saved text: a command that
  // learns nothing new makes no copy of them. Files learnt since are kept
  // apart, by name.
  struct Saved {
    std::string_view fileName;
    IndexedFile file;
  };
  struct Folder {
    std::vector<Saved> saved;  // sorted by file name, dropped ones erased
    std::map<std::string, IndexedFile, std::less<>> learnt;
    IndexedFile* Lookup(std::string_view fileName);
  };

  // Parses the saved text and keeps it.
  static ProfileIndex ParseSaved(std::shared_ptr<const std::string> text);

  std::shared_ptr<const std::string> text_;   // what was saved
  std::shared_ptr<std::deque<std::string>> unescaped_;  // names that held escapes
  Folder folders_[2];  // [0] the all-users folder, [1] the current user's
};

}  // namespace netsh
