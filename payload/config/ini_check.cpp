// Build-time check of the shipped setup configuration file.
//
//   payload_ini_check <ini file> [<folder holding the profile files>]
//
// The setup program reads the file twice: key by key through the Windows
// private-profile functions, and whole through OpenSSL's CONF reader for the
// GENERAL and BASIC_PROFILE sections. Both readers must see the same
// sections, keys and values, and every key the program reads must be there.
// Any fault stops the build with a message naming it.
#include <openssl/conf.h>
#include <openssl/err.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "profile_file_reader.h"

namespace {

struct RequiredKey {
  const char* section;
  const char* key;
};

// Every key the setup program reads with the private-profile functions.
// The busy-message texts live in "DefaultText" + the language name.
constexpr RequiredKey kRequiredKeys[] = {
    {"Root", "CheckInstallLangue"},
    {"SITE_SPECIFIC", "UseSiteSpecificSetupTitle"},
    {"SITE_SPECIFIC", "UseAutoConnection"},
    {"SITE_SPECIFIC", "ID"},
    {"SITE_SPECIFIC", "Password"},
    {"InstallMessageOption", "ShowMessageInSilentMode"},
    {"InstallRoot", "ForceReboot"},
    {"GENERAL", "UseDefaultProfile"},
};

int g_faults = 0;

void Fault(const std::string& text) {
  std::cerr << "ini_check: " << text << "\n";
  ++g_faults;
}

void CheckRequiredKeys(const payload::ProfileFile& file) {
  for (const RequiredKey& k : kRequiredKeys)
    if (!file.Find(k.section, k.key)) Fault(std::string("missing [") + k.section + "] " + k.key);

  const payload::ProfileEntry* language = file.Find("Root", "CheckInstallLangue");
  if (!language) return;
  const std::string textSection = "DefaultText" + language->value;
  for (const char* key : {"46", "60"})
    if (!file.Find(textSection, key)) Fault("missing [" + textSection + "] " + key);
  if (!file.Find("BASIC_PROFILE")) Fault("missing section [BASIC_PROFILE]");
}

// OpenSSL must read exactly what the profile functions read: same entries,
// same order, same bytes (a '$', '\' or '#' in a value would not survive).
void CompareWithConf(const payload::ProfileFile& file, CONF* conf) {
  for (const payload::ProfileSection& section : file.sections) {
    STACK_OF(CONF_VALUE)* values = NCONF_get_section(conf, section.name.c_str());
    if (!values) {
      Fault("OpenSSL does not see section [" + section.name + "]");
      continue;
    }
    const int count = sk_CONF_VALUE_num(values);
    if (count != static_cast<int>(section.entries.size())) {
      Fault("[" + section.name + "]: OpenSSL sees " + std::to_string(count) + " entries, the profile reader " +
            std::to_string(section.entries.size()));
      continue;
    }
    for (int i = 0; i < count; ++i) {
      const CONF_VALUE* v = sk_CONF_VALUE_value(values, i);
      const payload::ProfileEntry& e = section.entries[static_cast<size_t>(i)];
      if (e.name != v->name || e.value != v->value)
        Fault("[" + section.name + "] entry " + std::to_string(i + 1) + ": profile reader sees " + e.name + "=" +
              e.value + ", OpenSSL " + v->name + "=" + v->value);
    }
  }
}

// The calls the setup program itself makes on the loaded file.
void CheckProgramView(const char* path, const std::filesystem::path& profileFolder) {
  long errorLine = 0;
  LHASH_OF(CONF_VALUE)* conf = CONF_load(nullptr, path, &errorLine);
  if (!conf) {
    Fault(std::string("CONF_load fails at line ") + std::to_string(errorLine));
    ERR_print_errors_fp(stderr);
    return;
  }
  ERR_clear_error();
  const long useDefault = CONF_get_number(conf, "GENERAL", "UseDefaultProfile");
  if (ERR_peek_error() != 0) Fault("CONF_get_number cannot read [GENERAL] UseDefaultProfile");
  if (useDefault == 0) Fault("[GENERAL] UseDefaultProfile is 0: the shipped profiles would never install");

  STACK_OF(CONF_VALUE)* profiles = CONF_get_section(conf, "BASIC_PROFILE");
  const int count = profiles ? sk_CONF_VALUE_num(profiles) : 0;
  if (count < 2) Fault("[BASIC_PROFILE] needs at least two entries");
  bool blankInName = false;
  for (int i = 0; i < count; ++i) {
    const std::string file = sk_CONF_VALUE_value(profiles, i)->value;
    if (file.find(' ') != std::string::npos) blankInName = true;
    if (file.empty()) Fault("[BASIC_PROFILE] entry " + std::to_string(i + 1) + " is empty");
    else if (!profileFolder.empty() && !std::filesystem::is_regular_file(profileFolder / file))
      Fault("[BASIC_PROFILE] names " + file + ", which is not in " + profileFolder.string());
  }
  if (count > 0 && !blankInName) Fault("no [BASIC_PROFILE] file name holds a blank");
  CONF_free(conf);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::cerr << "usage: payload_ini_check <ini file> [<profile folder>]\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "ini_check: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  const payload::ProfileFile file = payload::ReadProfileFile(bytes);
  for (const std::string& p : file.problems) Fault(p);
  CheckRequiredKeys(file);

  CONF* conf = NCONF_new(nullptr);
  long errorLine = 0;
  if (NCONF_load(conf, argv[1], &errorLine) <= 0) {
    Fault("OpenSSL cannot parse the file (line " + std::to_string(errorLine) + ")");
    ERR_print_errors_fp(stderr);
  } else {
    CompareWithConf(file, conf);
  }
  NCONF_free(conf);

  CheckProgramView(argv[1], argc == 3 ? std::filesystem::path(argv[2]) : std::filesystem::path());

  if (g_faults > 0) {
    std::cerr << argv[1] << ": " << g_faults << " fault(s)\n";
    return 1;
  }
  return 0;
}
