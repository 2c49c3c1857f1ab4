#include "record_files.h"

#include <algorithm>

namespace record {
namespace {

struct Entry {
  std::string relative;  // in the ANSI code page, "." for the root
  DWORD attributes = 0;
};

void Collect(const std::string& root, const std::string& relative, std::vector<Entry>* out) {
  const std::string folder = relative == "." ? root : root + "\\" + relative;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    const std::string child = relative == "." ? name : relative + "\\" + name;
    out->push_back({child, data.dwFileAttributes});
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Collect(root, child, out);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

std::string Flags(DWORD attributes) {
  std::string flags = (attributes & FILE_ATTRIBUTE_HIDDEN) ? "H" : "-";
  flags += (attributes & FILE_ATTRIBUTE_READONLY) ? "R" : "-";
  return flags;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool EndsWith(const std::string& text, const char* tail) {
  const size_t n = std::char_traits<char>::length(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

void Print(const std::string& folder, const Entry& entry, const Placeholders& placeholders) {
  const bool isDir = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::string line = std::string(isDir ? "dir  " : "file ") + Flags(entry.attributes) + "  " +
                     Normalize(Utf8FromAnsi(entry.relative), placeholders);
  if (isDir) {
    Line(line);
    return;
  }
  const std::string path = entry.relative == "." ? folder : folder + "\\" + entry.relative;
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    Line(line + "  unreadable");
    return;
  }
  std::string sourceBytes;
  const bool same = ReadWholeFile(placeholders.source + "\\" + BaseName(path), &sourceBytes) && sourceBytes == bytes;
  // A copy of a shipped file is "= source" alone: the Linux and Windows
  // builds ship programs and libraries of different sizes.
  Line(line + "  " + (same ? "= source" : std::to_string(bytes.size()) + " bytes  hash " + Hash(bytes)));
  // A changed configuration file is shown line by line, CR LF included:
  // a hash alone would not say what differs.
  if (same || !EndsWith(entry.relative, ".ini")) return;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    end = end == std::string::npos ? bytes.size() : end + 1;
    Line("     : " + Normalize(Utf8FromAnsi(bytes.substr(start, end - start)), placeholders));
    start = end;
  }
}

}  // namespace

void RecordTree(const std::string& root, const Placeholders& placeholders) {
  Line("== files " + Utf8FromAnsi(root));
  const DWORD rootAttributes = GetFileAttributesA(root.c_str());
  if (rootAttributes == INVALID_FILE_ATTRIBUTES) {
    Line("absent");
    return;
  }
  std::vector<Entry> entries = {{".", rootAttributes}};
  Collect(root, ".", &entries);
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
  for (const auto& entry : entries) Print(root, entry, placeholders);
}

void RecordFiles(const std::string& folder, const std::vector<std::string>& names, const Placeholders& placeholders) {
  Line("== files " + Utf8FromAnsi(folder) + " (named)");
  for (const auto& name : names) {
    const DWORD attributes = GetFileAttributesA((folder + "\\" + name).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) Line("absent " + name);
    else Print(folder, {name, attributes}, placeholders);
  }
}

}  // namespace record
