#include "source_edits.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "host_process.h"

namespace winebench {
namespace {

const char kIni[] = "/VeltraneGTCSetup.ini";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, end - start));
    start = end;
  }
  return lines;
}

std::string Trimmed(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool IsSection(const std::string& line) { return !line.empty() && line[0] == '['; }
bool IsSection(const std::string& line, const std::string& section) {
  return SameName(Trimmed(line), "[" + section + "]");
}
bool IsKey(const std::string& line, const std::string& key) {
  const size_t eq = line.find('=');
  return eq != std::string::npos && SameName(line.substr(0, eq), key);
}

void EditFile(const std::string& path, const std::function<std::string(const std::string&)>& edit) {
  const std::string text = ReadFileText(path);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << edit(text);
}

}  // namespace

std::string SetIniText(const std::string& ini, const std::string& section, const std::string& key,
                       const std::string& value) {
  std::vector<std::string> lines = Lines(ini);
  if (!lines.empty() && lines.back().back() != '\n') lines.back() += "\r\n";
  const std::string entry = key + "=" + value + "\r\n";
  auto header = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return IsSection(l, section); });
  if (header == lines.end()) {
    lines.push_back("[" + section + "]\r\n");
    lines.push_back(entry);
  } else {
    auto end = std::find_if(header + 1, lines.end(), [](const std::string& l) { return IsSection(l); });
    auto found = std::find_if(header + 1, end, [&](const std::string& l) { return IsKey(l, key); });
    if (found != end) {
      *found = entry;
    } else {
      // After the section's last non-blank line.
      auto at = end;
      while (at != header + 1 && Trimmed(*(at - 1)).empty()) --at;
      lines.insert(at, entry);
    }
  }
  std::string out;
  for (const auto& l : lines) out += l;
  return out;
}

std::string DropIniSectionText(const std::string& ini, const std::string& section) {
  std::string out;
  bool dropping = false;
  for (const auto& line : Lines(ini)) {
    if (IsSection(line)) dropping = IsSection(line, section);
    if (!dropping) out += line;
  }
  return out;
}

SourceEdit SetIni(const std::string& section, const std::string& key, const std::string& value) {
  return [=](const std::string& dir) {
    EditFile(dir + kIni, [&](const std::string& text) { return SetIniText(text, section, key, value); });
  };
}

SourceEdit DropIniSection(const std::string& section) {
  return [=](const std::string& dir) {
    EditFile(dir + kIni, [&](const std::string& text) { return DropIniSectionText(text, section); });
  };
}

SourceEdit RemoveFile(const std::string& name) {
  return [=](const std::string& dir) {
    if (std::remove((dir + "/" + name).c_str()) != 0) throw std::runtime_error("no " + name + " to remove");
  };
}

std::string Cp949(const std::string& utf8) {
  iconv_t cd = iconv_open("CP949", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP949");
  std::string in = utf8;
  std::string out(in.size() * 2 + 4, '\0');
  char* src = in.data();
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (done == static_cast<size_t>(-1)) throw std::runtime_error("not convertible to CP949: " + utf8);
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace winebench
