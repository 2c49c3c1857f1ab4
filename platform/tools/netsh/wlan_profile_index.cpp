#include "wlan_profile_index.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "winsim/machine.h"

namespace netsh {
namespace {

constexpr const char* kHeader = "wlan profile index 1";

std::string CacheFolder() { return winsim::MachineRoot() + "/cache"; }
std::string IndexPath() { return CacheFolder() + "/wlan_profiles"; }

// Tabs, line ends and backslashes in names and file names are escaped.
std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string* out) {
  out->clear();
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

bool ParseNumber(const std::string& text, uint64_t* value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19) return false;
  *value = std::stoull(text);
  return true;
}

// Host files are read and written with the system calls: the C runtime's
// file functions of this program take Windows paths.
std::string ReadHostFile(const std::string& path) {
  std::string data;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return data;
  char buffer[16384];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) data.append(buffer, static_cast<size_t>(n));
  close(fd);
  return data;
}

}  // namespace

const IndexedFile* ProfileIndex::Find(const Key& key, uint64_t size, uint64_t writeTime) const {
  auto it = entries_.find(key);
  if (it == entries_.end() || it->second.size != size || it->second.writeTime != writeTime) return nullptr;
  return &it->second;
}

std::string ProfileIndex::Serialize() const {
  std::string text = std::string(kHeader) + "\n";
  for (const auto& [key, file] : entries_) {
    text += (key.first ? "1\t" : "0\t") + std::to_string(file.size) + "\t" + std::to_string(file.writeTime) +
            (file.isProfile ? "\t1\t" : "\t0\t") + Escape(key.second) + "\t" + Escape(file.name) + "\n";
  }
  return text;
}

ProfileIndex ProfileIndex::Parse(const std::string& text) {
  ProfileIndex index;
  std::istringstream in(text);
  std::string line;
  if (!std::getline(in, line) || line != kHeader) return index;
  while (std::getline(in, line)) {
    std::string fields[6];
    size_t start = 0, n = 0;
    for (; n < 6; ++n) {
      size_t tab = n < 5 ? line.find('\t', start) : std::string::npos;
      if (n < 5 && tab == std::string::npos) break;
      fields[n] = line.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
      start = tab + 1;
    }
    IndexedFile file;
    std::string fileName;
    // A damaged cache is no cache.
    if (n != 6 || (fields[0] != "0" && fields[0] != "1") || (fields[3] != "0" && fields[3] != "1") ||
        !ParseNumber(fields[1], &file.size) || !ParseNumber(fields[2], &file.writeTime) ||
        !Unescape(fields[4], &fileName) || fileName.empty() || !Unescape(fields[5], &file.name)) {
      return ProfileIndex();
    }
    file.isProfile = fields[3] == "1";
    index.entries_[{fields[0] == "1", fileName}] = std::move(file);
  }
  return index;
}

ProfileIndex ProfileIndex::Load() { return Parse(ReadHostFile(IndexPath())); }

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
