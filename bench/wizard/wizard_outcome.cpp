#include "wizard_outcome.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace winewizard {
namespace {

std::string Trim(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return std::string();
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::optional<std::string> IniValue(const std::string& text, const std::string& section, const std::string& key) {
  std::istringstream in(text);
  bool inSection = false;
  for (std::string line; std::getline(in, line);) {
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      inSection = SameName(Trim(line.substr(1, line.size() - 2)), section);
      continue;
    }
    const size_t eq = line.find('=');
    if (inSection && eq != std::string::npos && SameName(Trim(line.substr(0, eq)), key))
      return Trim(line.substr(eq + 1));
  }
  return std::nullopt;
}

std::optional<std::string> RegQueryValue(const std::string& output, const std::string& name) {
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    // Columns are separated by four blanks; names may hold single blanks.
    line = Trim(line);
    const size_t gap = line.find("    ");
    if (gap == std::string::npos || !SameName(line.substr(0, gap), name)) continue;
    const std::string rest = Trim(line.substr(gap));
    const size_t typeEnd = rest.find("    ");
    if (rest.rfind("REG_", 0) != 0) continue;
    return typeEnd == std::string::npos ? std::string() : Trim(rest.substr(typeEnd));
  }
  return std::nullopt;
}

}  // namespace winewizard
