// The text files: the site configuration in CP949 for both of its readers,
// the wireless profiles it names, the licence text and the version text.
#include <gtest/gtest.h>
#include <openssl/conf.h>
#include <openssl/err.h>

#include <QXmlStreamReader>

#include "shipped_folder.h"

namespace payload_test {
namespace {

// Every line ends in CRLF: no bare LF, no bare CR.
::testing::AssertionResult OnlyCrlf(const std::string& b) {
  for (size_t i = 0; i < b.size(); ++i) {
    if (b[i] == '\n' && (i == 0 || b[i - 1] != '\r')) return ::testing::AssertionFailure() << "bare LF at " << i;
    if (b[i] == '\r' && (i + 1 == b.size() || b[i + 1] != '\n'))
      return ::testing::AssertionFailure() << "bare CR at " << i;
  }
  return ::testing::AssertionSuccess();
}

// Korean text in the ANSI code page: decodes as CP949, holds Hangul, and is
// not UTF-8 (a file left in UTF-8 would show as garbage on Korean Windows).
void ExpectKoreanAnsiText(const std::string& bytes) {
  std::string utf8;
  ASSERT_TRUE(Cp949ToUtf8(bytes, utf8));
  EXPECT_TRUE(HasHangul(utf8));
  EXPECT_FALSE(IsValidUtf8(bytes));
}

TEST(SetupConfiguration, IsKoreanAnsiTextWithCrlf) {
  const std::string bytes = ReadBytes(Shipped("VeltraneGTCSetup.ini"));
  ASSERT_FALSE(bytes.empty());
  EXPECT_TRUE(OnlyCrlf(bytes));
  ExpectKoreanAnsiText(bytes);
  EXPECT_NE(bytes.compare(0, 3, "\xEF\xBB\xBF"), 0) << "no byte-order mark";
}

TEST(SetupConfiguration, HoldsEveryKeyTheProgramReads) {
  const IniFile ini = ParseIni(ReadBytes(Shipped("VeltraneGTCSetup.ini")));
  struct Row {
    const char* section;
    const char* key;
    const char* value;  // nullptr: any value
  };
  const Row rows[] = {
      {"Root", "CheckInstallLangue", "Korean"},
      {"DefaultTextKorean", "46", nullptr},
      {"DefaultTextKorean", "60", nullptr},
      {"SITE_SPECIFIC", "UseSiteSpecificSetupTitle", ""},  // empty: the built-in product name shows
      {"SITE_SPECIFIC", "UseAutoConnection", nullptr},
      {"SITE_SPECIFIC", "ID", nullptr},
      {"SITE_SPECIFIC", "Password", nullptr},
      {"InstallMessageOption", "ShowMessageInSilentMode", "1"},
      {"InstallRoot", "ForceReboot", "0"},
      {"GENERAL", "UseDefaultProfile", "1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string("[") + row.section + "] " + row.key);
    const std::string* value = ini.Find(row.section, row.key);
    ASSERT_NE(value, nullptr);
    if (row.value) {
      EXPECT_EQ(*value, row.value);
    }
  }
  for (const char* key : {"46", "60"}) {
    SCOPED_TRACE(key);
    std::string utf8;
    ASSERT_TRUE(Cp949ToUtf8(*ini.Find("DefaultTextKorean", key), utf8));
    EXPECT_TRUE(HasHangul(utf8));
  }
  EXPECT_EQ(ini.Find("Root", "InstallSuccess"), nullptr) << "written by an install, never shipped";
}

TEST(SetupConfiguration, ProfileEntriesIncludeANameWithABlank) {
  const std::vector<std::string> files = ShippedProfileFiles();
  ASSERT_GE(files.size(), 2u);
  bool blank = false;
  for (const std::string& f : files) blank |= f.find(' ') != std::string::npos;
  EXPECT_TRUE(blank);
}

// OpenSSL's reader, as the setup program calls it, sees the same profile
// entries as the private-profile reader.
TEST(SetupConfiguration, OpenSslReadsTheSameProfileEntries) {
  long errorLine = -1;
  LHASH_OF(CONF_VALUE)* conf = CONF_load(nullptr, Shipped("VeltraneGTCSetup.ini").c_str(), &errorLine);
  ASSERT_NE(conf, nullptr) << "parse error at line " << errorLine;
  ERR_clear_error();
  EXPECT_EQ(CONF_get_number(conf, "GENERAL", "UseDefaultProfile"), 1);
  EXPECT_EQ(ERR_peek_error(), 0u);
  STACK_OF(CONF_VALUE)* section = CONF_get_section(conf, "BASIC_PROFILE");
  ASSERT_NE(section, nullptr);
  std::vector<std::string> seen;
  for (int i = 0; i < sk_CONF_VALUE_num(section); ++i) seen.push_back(sk_CONF_VALUE_value(section, i)->value);
  EXPECT_EQ(seen, ShippedProfileFiles());
  const IniFile ini = ParseIni(ReadBytes(Shipped("VeltraneGTCSetup.ini")));
  for (const auto& [name, entries] : ini.sections) {
    SCOPED_TRACE(name);
    EXPECT_NE(CONF_get_section(conf, name.c_str()), nullptr);
    for (const auto& [key, value] : entries) {
      const char* read = CONF_get_string(conf, name.c_str(), key.c_str());
      ASSERT_NE(read, nullptr) << key;
      EXPECT_EQ(value, read) << key;
    }
  }
  CONF_free(conf);
}

// What a WLAN profile document says, as far as the tests look.
struct WlanProfile {
  std::string error;
  std::string rootNamespace, name, ssidHex, ssidName, connectionType, connectionMode, authentication, useOneX,
      eapType;
};

WlanProfile ReadProfile(const std::string& bytes) {
  WlanProfile p;
  QXmlStreamReader xml(QByteArray::fromStdString(bytes));
  QStringList path;
  while (!xml.atEnd()) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    if (token == QXmlStreamReader::StartElement) {
      path << xml.name().toString();
      if (path.size() == 1) p.rootNamespace = xml.namespaceUri().toString().toStdString();
      const QString at = path.join('/');
      auto text = [&] { return xml.readElementText().toStdString(); };
      if (at == "WLANProfile/name") p.name = text();
      else if (at == "WLANProfile/SSIDConfig/SSID/hex") p.ssidHex = text();
      else if (at == "WLANProfile/SSIDConfig/SSID/name") p.ssidName = text();
      else if (at == "WLANProfile/connectionType") p.connectionType = text();
      else if (at == "WLANProfile/connectionMode") p.connectionMode = text();
      else if (at == "WLANProfile/MSM/security/authEncryption/authentication") p.authentication = text();
      else if (at == "WLANProfile/MSM/security/authEncryption/useOneX") p.useOneX = text();
      else if (at == "WLANProfile/MSM/security/OneX/EAPConfig/EapHostConfig/EapMethod/Type") p.eapType = text();
      if (xml.tokenType() == QXmlStreamReader::EndElement) path.removeLast();  // text read to its end
    } else if (token == QXmlStreamReader::EndElement) {
      path.removeLast();
    }
  }
  if (xml.hasError()) p.error = xml.errorString().toStdString();
  return p;
}

std::string HexOf(const std::string& s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : s) hex += {digits[c >> 4], digits[c & 15]};
  return hex;
}

TEST(WirelessProfiles, AreWpa2EnterpriseProfilesNamedAfterTheirFiles) {
  for (const std::string& file : ShippedProfileFiles()) {
    SCOPED_TRACE(file);
    const WlanProfile p = ReadProfile(ReadBytes(Shipped(file)));
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.rootNamespace, "http://www.microsoft.com/networking/WLAN/profile/v1");
    EXPECT_EQ(p.name, file.substr(0, file.rfind('.')));  // what "netsh wlan delete profile" is given
    EXPECT_FALSE(p.ssidName.empty());
    EXPECT_EQ(p.ssidHex, HexOf(p.ssidName));
    EXPECT_EQ(p.connectionType, "ESS");
    EXPECT_EQ(p.connectionMode, "auto");
    EXPECT_EQ(p.authentication, "WPA2");
    EXPECT_EQ(p.useOneX, "true");
    EXPECT_EQ(p.eapType, "25");  // PEAP
  }
}

TEST(ShippedTexts, LicenceIsKoreanAnsiTextNamingProductAndMaker) {
  const std::string bytes = ReadBytes(Shipped("EULA_kor.txt"));
  ASSERT_FALSE(bytes.empty());
  EXPECT_TRUE(OnlyCrlf(bytes));
  ExpectKoreanAnsiText(bytes);
  EXPECT_EQ(bytes.find('\0'), std::string::npos) << "the licence page shows the text only up to a NUL";
  EXPECT_NE(bytes.find("Veltrane RAZ Plug-In"), std::string::npos);
  EXPECT_NE(bytes.find("Bramble Cast Inc."), std::string::npos);
}

TEST(ShippedTexts, VersionAndProfileDumpAreCrlfText) {
  const std::string version = ReadBytes(Shipped("Version.txt"));
  EXPECT_EQ(version.rfind("Veltrane RAZ ", 0), 0u);
  EXPECT_TRUE(OnlyCrlf(version));
  const std::string dump = ReadBytes(Shipped("VelPro0.txt"));
  EXPECT_FALSE(dump.empty());
  EXPECT_TRUE(OnlyCrlf(dump));
  for (const std::string& file : ShippedProfileFiles())
    EXPECT_NE(dump.find(file.substr(0, file.rfind('.'))), std::string::npos) << file;
}

}  // namespace
}  // namespace payload_test
