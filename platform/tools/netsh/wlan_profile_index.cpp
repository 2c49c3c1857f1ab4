#include "wlan_profile_index.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>

#include "winsim/machine.h"

namespace netsh {
namespace {

constexpr std::string_view kHeader = "wlan profile index 1";

std::string CacheFolder() { return winsim::MachineRoot() + "/cache"; }
std::string IndexPath() { return CacheFolder() + "/wlan_profiles"; }

// Tabs, line ends and backslashes in names and file names are escaped.
void AppendEscaped(std::string* out, std::string_view text) {
  if (text.find_first_of("\\\t\n\r") == std::string_view::npos) {
    out->append(text);
    return;
  }
  for (char c : text) {
    switch (c) {
      case '\\': *out += "\\\\"; break;
      case '\t': *out += "\\t"; break;
      case '\n': *out += "\\n"; break;
      case '\r': *out += "\\r"; break;
      default: *out += c;
    }
  }
}

bool Unescape(std::string_view text, std::string* out) {
  out->clear();
  if (text.find('\\') == std::string_view::npos) {
    out->assign(text);
    return true;
  }
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\': *out += '\\'; break;
      case 't': *out += '\t'; break;
      case 'n': *out += '\n'; break;
      case 'r': *out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

bool ParseNumber(std::string_view text, uint64_t* value) {
  if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
  return std::from_chars(text.data(), text.data() + text.size(), *value).ec == std::errc();
}

bool ParseFlag(std::string_view text, bool* value) {
  if (text != "0" && text != "1") return false;
  *value = text == "1";
  return true;
}

// Host files are read and written with the system calls: the C runtime's
// file functions of this program take Windows paths.
std::string ReadHostFile(const std::string& path) {
  std::string data;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  struct stat st {};
  if (fstat(fd, &st) == 0 && st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buffer[16384];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, static_cast<size_t>(n));
  close(fd);
  return data;
}

}  // namespace

IndexedFile* ProfileIndex::Folder::Lookup(std::string_view fileName) {
  auto it = std::lower_bound(saved.begin(), saved.end(), fileName,
                             [](const Saved& entry, std::string_view name) { return entry.fileName < name; });
  if (it != saved.end() && it->fileName == fileName) return &it->file;
  auto found = learnt.find(fileName);
  return found == learnt.end() ? nullptr : &found->second;
}

size_t ProfileIndex::Size() const {
  size_t size = 0;
  for (const auto& folder : folders_) size += folder.saved.size() + folder.learnt.size();
  return size;
}

const IndexedFile* ProfileIndex::Find(bool currentUser, std::string_view fileName, uint64_t size,
                                      uint64_t writeTime) {
  IndexedFile* file = folders_[currentUser ? 1 : 0].Lookup(fileName);
  if (!file || file->size != size || file->writeTime != writeTime) return nullptr;
  file->seen = true;
  return file;
}

void ProfileIndex::Put(bool currentUser, std::string_view fileName, IndexedFile file) {
  file.seen = true;
  auto& folder = folders_[currentUser ? 1 : 0];
  if (IndexedFile* known = folder.Lookup(fileName)) {
    *known = std::move(file);
  } else {
    folder.learnt.emplace(std::string(fileName), std::move(file));
  }
}

bool ProfileIndex::DropUnseen() {
  bool dropped = false;
  for (auto& folder : folders_) {
    const size_t before = folder.saved.size();
    folder.saved.erase(std::remove_if(folder.saved.begin(), folder.saved.end(),
                                      [](const Saved& entry) { return !entry.file.seen; }),
                       folder.saved.end());
    dropped |= folder.saved.size() != before;
    for (auto it = folder.learnt.begin(); it != folder.learnt.end();) {
      if (it->second.seen) {
        ++it;
      } else {
        it = folder.learnt.erase(it);
        dropped = true;
      }
    }
  }
  return dropped;
}

std::string ProfileIndex::Serialize() const {
  std::string text(kHeader);
  text += '\n';
  text.reserve(80 * Size() + text.size());
  auto appendNumber = [&text](uint64_t value) {
    char digits[20];
    text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  };
  auto append = [&](int user, std::string_view fileName, const IndexedFile& file) {
    text += user ? "1\t" : "0\t";
    appendNumber(file.size);
    text += '\t';
    appendNumber(file.writeTime);
    text += file.isProfile ? "\t1\t" : "\t0\t";
    AppendEscaped(&text, fileName);
    text += '\t';
    AppendEscaped(&text, file.name);
    text += '\n';
  };
  for (int user = 0; user < 2; ++user) {
    // The saved entries and the learnt ones, merged by file name.
    const Folder& folder = folders_[user];
    auto saved = folder.saved.begin();
    auto learnt = folder.learnt.begin();
    while (saved != folder.saved.end() || learnt != folder.learnt.end()) {
      if (learnt == folder.learnt.end() || (saved != folder.saved.end() && saved->fileName < learnt->first)) {
        append(user, saved->fileName, saved->file);
        ++saved;
      } else {
        append(user, learnt->first, learnt->second);
        ++learnt;
      }
    }
  }
  return text;
}

ProfileIndex ProfileIndex::Parse(std::string_view text) { return ParseSaved(std::make_shared<const std::string>(text)); }

ProfileIndex ProfileIndex::ParseSaved(std::shared_ptr<const std::string> owned) {
  ProfileIndex index;
  const std::string_view text = *owned;
  size_t lineEnd = text.find('\n');
  if (lineEnd == std::string_view::npos || text.substr(0, lineEnd) != kHeader) return index;
  auto unescaped = std::make_shared<std::deque<std::string>>();
  std::string fileName;
  for (size_t start = lineEnd + 1; start < text.size(); start = lineEnd + 1) {
    lineEnd = text.find('\n', start);
    if (lineEnd == std::string_view::npos) lineEnd = text.size();
    const std::string_view line = text.substr(start, lineEnd - start);
    std::string_view fields[6];
    size_t n = 0;
    for (size_t from = 0; n < 6; ++n) {
      const size_t tab = n < 5 ? line.find('\t', from) : std::string_view::npos;
      if (n < 5 && tab == std::string_view::npos) break;
      fields[n] = line.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from);
      from = tab + 1;
    }
    IndexedFile file;
    bool currentUser = false;
    // A damaged cache is no cache.
    if (n != 6 || !ParseFlag(fields[0], &currentUser) || !ParseFlag(fields[3], &file.isProfile) ||
        !ParseNumber(fields[1], &file.size) || !ParseNumber(fields[2], &file.writeTime) ||
        !Unescape(fields[4], &fileName) || fileName.empty() || !Unescape(fields[5], &file.name)) {
      return ProfileIndex();
    }
    // Saved in order, each file once; a cache that is not is damaged.
    std::string_view name = fields[4];
    if (fileName.size() != name.size()) name = unescaped->emplace_back(fileName);
    auto& saved = index.folders_[currentUser ? 1 : 0].saved;
    if (!saved.empty() && !(saved.back().fileName < name)) return ProfileIndex();
    saved.push_back(Saved{name, std::move(file)});
  }
  index.text_ = std::move(owned);
  index.unescaped_ = std::move(unescaped);
  return index;
}

ProfileIndex ProfileIndex::Load() { return ParseSaved(std::make_shared<const std::string>(ReadHostFile(IndexPath()))); }

void ProfileIndex::Save() const {
  mkdir(CacheFolder().c_str(), 0777);
  // A name of this process's own, then one rename: a reader sees the old
  // cache or the new one, and two writers do not mix their lines.
  std::string tmp = IndexPath() + "." + std::to_string(getpid());
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return;
  std::string text = Serialize();
  bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  close(fd);
  // renameat: rename() of this program is the C runtime's, on Windows paths.
  if (!ok || renameat(AT_FDCWD, tmp.c_str(), AT_FDCWD, IndexPath().c_str()) != 0) unlink(tmp.c_str());
}

}  // namespace netsh
