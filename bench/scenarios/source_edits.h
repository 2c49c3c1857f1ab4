// Changes a scenario makes to its copy of the shipped source folder before
// the setup program runs: the same edit is applied to the simulated
// machine's copy and to Wine's.
#pragma once
#include <functional>
#include <string>

namespace winebench {

// An edit of the host folder that holds a copied source folder.
using SourceEdit = std::function<void(const std::string& sourceHostDir)>;

// Sets section/key of VeltraneGTCSetup.ini (in the ANSI code page, CR LF
// lines): the key's line is replaced, or added at the end of its section,
// or the section is added at the end of the file.
SourceEdit SetIni(const std::string& section, const std::string& key, const std::string& value);
// Removes a section with its keys.
SourceEdit DropIniSection(const std::string& section);
// Removes a file of the source folder.
SourceEdit RemoveFile(const std::string& name);

// The same edits on configuration text, for the tests of these edits.
std::string SetIniText(const std::string& ini, const std::string& section, const std::string& key,
                       const std::string& value);
std::string DropIniSectionText(const std::string& ini, const std::string& section);

// UTF-8 text in code page 949, as a Korean configuration holds it.
std::string Cp949(const std::string& utf8);

}  // namespace winebench
