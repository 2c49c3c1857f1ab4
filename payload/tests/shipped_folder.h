// What the payload tests know about the source folder: where it is, the
// files the setup program installs from it in install order, and the page
// artwork rule. Written down here independently of the build rules, so a
// slip in either shows up as a failure.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace payload_test {

std::filesystem::path SourceDir();
std::filesystem::path Shipped(const std::string& utf8Name);
std::string ReadBytes(const std::filesystem::path& path);

// One row of the install copy table. A row whose file is kProfileEntries
// stands for the files named by the BASIC_PROFILE entries.
struct InstallRow {
  int number;
  const char* file;
  const char* destination;
};
inline constexpr const char* kProfileEntries = "<BASIC_PROFILE entries>";
const std::vector<InstallRow>& InstallOrder();


struct ArtworkBase {
  const char* name;
  bool banner;
};
const std::vector<ArtworkBase>& ArtworkBases();

struct Density {
  const char* suffix;
  double scale;
};
const std::vector<Density>& Densities();
std::string ArtworkName(const std::string& base, const Density& d);

// The configuration file as the private-profile functions read it: sections
// in file order, each with its name=value lines (trimmed). Lines are split
// at CRLF.
using IniSection = std::vector<std::pair<std::string, std::string>>;
struct IniFile {
  std::vector<std::pair<std::string, IniSection>> sections;
  const IniSection* Find(const std::string& section) const;
  const std::string* Find(const std::string& section, const std::string& key) const;
};
IniFile ParseIni(const std::string& bytes);

// Values of BASIC_PROFILE in the shipped configuration, in order.
std::vector<std::string> ShippedProfileFiles();

// Converts CP949 bytes to UTF-8; false when the bytes are not valid CP949.
bool Cp949ToUtf8(const std::string& bytes, std::string& utf8);
bool IsValidUtf8(const std::string& bytes);
bool HasHangul(const std::string& utf8);

}  // namespace payload_test
