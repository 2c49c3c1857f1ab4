#include "shipped_folder.h"

#include <iconv.h>
#include <strings.h>

#include <fstream>
#include <iterator>

namespace payload_test {

std::filesystem::path SourceDir() { return std::filesystem::path(PAYLOAD_SOURCE_DIR); }

std::filesystem::path Shipped(const std::string& utf8Name) { return SourceDir() / utf8Name; }

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<InstallRow>& InstallOrder() {
  static const std::vector<InstallRow> rows = {
      {1, "VeltraneGtcSetup.exe", "recovery"},
      {2, "VeltraneGTCSetup.ini", "recovery"},
      {3, "ssleay32.dll", "recovery"},
      {4, "mfc110.dll", "recovery"},
      {5, "msvcp110.dll", "recovery"},
      {6, "msvcr110.dll", "recovery"},
      {7, kProfileEntries, "recovery"},
      {8, "인스톨.ico", "recovery"},
      {9, "vtxSet_kor.png", "recovery"},
      {10, "vtxSetUP_kor.png", "recovery"},
      {11, "vtxUnUP_kor.png", "recovery"},
      {12, "Set1-1_kor.png", "recovery"},
      {13, "Set2-1_kor.png", "recovery"},
      {14, "Set4-1_kor.png", "recovery"},
      {15, "Set4-2_kor.png", "recovery"},
      {16, "Set5-1_kor.png", "recovery"},
      {17, "Un1-1_kor.png", "recovery"},
      {18, "Un2-1_kor.png", "recovery"},
      {19, "Un2-2_kor.png", "recovery"},
      {20, "Un3-1_kor.png", "recovery"},
      {21, "Un4-1_kor.png", "recovery"},
      {22, "OrvGtcLogo.bmp", "recovery"},
      {23, "Version.txt", "install"},
      {24, "VelText.dll", "install"},
      {25, "VelPro0.txt", "install"},
      {26, "2b7d870a.0", "Cert"},
      {27, "3d7219e9.0", "Cert"},
      {28, "69ceea23.0", "Cert"},
      {29, "76ad1a1b.0", "Cert"},
      {30, "936a7112.0", "Cert"},
      {31, "660878eb.0", "Cert"},
      {32, "f1f2f575.0", "Cert"},
      {33, "OrvGtcLogo.bmp", "Image"},
      {34, "nxc1xu32.dll", "system"},
      {35, "ORV_EapPeap.dll", "system"},
  };
  return rows;
}

const std::vector<ArtworkBase>& ArtworkBases() {
  static const std::vector<ArtworkBase> bases = {
      {"vtxSet", true},  {"vtxSetUP", true}, {"vtxUnUP", true}, {"Set1-1", false}, {"Set2-1", false},
      {"Set4-1", false}, {"Set4-2", false},  {"Set5-1", false}, {"Un1-1", false},  {"Un2-1", false},
      {"Un2-2", false},  {"Un3-1", false},   {"Un4-1", false},
  };
  return bases;
}

const std::vector<Density>& Densities() {
  static const std::vector<Density> densities = {
      {"", 1.0}, {"_DPI_120", 1.25}, {"_DPI_144", 1.5}, {"_DPI_192", 2.0}};
  return densities;
}

std::string ArtworkName(const std::string& base, const Density& d) { return base + d.suffix + "_kor.png"; }

namespace {

std::string Trim(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

const IniSection* IniFile::Find(const std::string& section) const {
  for (const auto& [name, entries] : sections)
    if (strcasecmp(name.c_str(), section.c_str()) == 0) return &entries;
  return nullptr;
}

const std::string* IniFile::Find(const std::string& section, const std::string& key) const {
  const IniSection* s = Find(section);
  if (!s) return nullptr;
  for (const auto& [name, value] : *s)
    if (strcasecmp(name.c_str(), key.c_str()) == 0) return &value;
  return nullptr;
}

IniFile ParseIni(const std::string& bytes) {
  IniFile ini;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = Trim(bytes.substr(pos, end - pos));
    pos = end + 2;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      ini.sections.push_back({line.substr(1, line.size() - 2), {}});
    } else if (const size_t eq = line.find('='); eq != std::string::npos && !ini.sections.empty()) {
      ini.sections.back().second.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
    }
  }
  return ini;
}

std::vector<std::string> ShippedProfileFiles() {
  std::vector<std::string> files;
  const IniFile ini = ParseIni(ReadBytes(Shipped("VeltraneGTCSetup.ini")));
  if (const IniSection* section = ini.Find("BASIC_PROFILE"))
    for (const auto& entry : *section)
      if (!entry.second.empty()) files.push_back(entry.second);
  return files;
}

bool Cp949ToUtf8(const std::string& bytes, std::string& utf8) {
  iconv_t cd = iconv_open("UTF-8", "CP949");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = bytes;
  utf8.assign(in.size() * 3 + 4, '\0');
  char* src = in.data();
  char* dst = utf8.data();
  size_t srcLeft = in.size(), dstLeft = utf8.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
  iconv_close(cd);
  utf8.resize(utf8.size() - dstLeft);
  return ok;
}

bool IsValidUtf8(const std::string& bytes) {
  std::string ignored;
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = bytes;
  ignored.assign(in.size() * 2 + 4, '\0');
  char* src = in.data();
  char* dst = ignored.data();
  size_t srcLeft = in.size(), dstLeft = ignored.size();
  const bool ok = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0;
  iconv_close(cd);
  return ok;
}

bool HasHangul(const std::string& utf8) {
  // Hangul syllables U+AC00..U+D7A3 are three bytes starting 0xEA..0xED.
  for (size_t i = 0; i + 2 < utf8.size(); ++i) {
    const unsigned char b0 = static_cast<unsigned char>(utf8[i]);
    const unsigned char b1 = static_cast<unsigned char>(utf8[i + 1]);
    const unsigned cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
    if ((b0 & 0xF0u) == 0xE0u && cp >= 0xAC00 && cp <= 0xD7A3) return true;
  }
  return false;
}

}  // namespace payload_test
