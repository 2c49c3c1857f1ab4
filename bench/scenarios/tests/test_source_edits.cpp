// The configuration edits the scenarios make to a copied source folder.
#include <gtest/gtest.h>

#include "source_edits.h"

namespace {

const std::string kIni =
    "[Root]\r\nCheckInstallLangue=Korean\r\n\r\n[InstallRoot]\r\nForceReboot=0\r\n\r\n"
    "[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n";

TEST(SetIniText, ReplacesAddsToASectionOrAddsTheSection) {
  struct {
    const char* section;
    const char* key;
    const char* value;
    std::string expected;
  } rows[] = {
      {"InstallRoot", "ForceReboot", "1",
       "[Root]\r\nCheckInstallLangue=Korean\r\n\r\n[InstallRoot]\r\nForceReboot=1\r\n\r\n"
       "[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n"},
      {"installroot", "forcereboot", "1",
       "[Root]\r\nCheckInstallLangue=Korean\r\n\r\n[InstallRoot]\r\nforcereboot=1\r\n\r\n"
       "[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n"},
      {"Root", "InstallSuccess", "0",
       "[Root]\r\nCheckInstallLangue=Korean\r\nInstallSuccess=0\r\n\r\n[InstallRoot]\r\nForceReboot=0\r\n\r\n"
       "[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n"},
      {"GENERAL", "UseDefaultProfile", "0", kIni + "[GENERAL]\r\nUseDefaultProfile=0\r\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.expected, winebench::SetIniText(kIni, row.section, row.key, row.value)) << row.section;
  }
}

TEST(SetIniText, EndsAnUnterminatedLastLine) {
  EXPECT_EQ("[A]\r\nx=1\r\ny=2\r\n", winebench::SetIniText("[A]\r\nx=1", "A", "y", "2"));
}

TEST(DropIniSectionText, RemovesTheSectionAndItsKeysOnly) {
  EXPECT_EQ("[Root]\r\nCheckInstallLangue=Korean\r\n\r\n[InstallRoot]\r\nForceReboot=0\r\n\r\n",
            winebench::DropIniSectionText(kIni, "BASIC_PROFILE"));
  EXPECT_EQ("[BASIC_PROFILE]\r\nPROFILE1=Campus Staff.xml\r\n",
            winebench::DropIniSectionText(winebench::DropIniSectionText(kIni, "Root"), "installroot"));
  EXPECT_EQ(kIni, winebench::DropIniSectionText(kIni, "NoSuchSection"));
}

TEST(Cp949, ConvertsKoreanText) {
  EXPECT_EQ("\xC7\xD1\xBA\xFB Net", winebench::Cp949("한빛 Net"));
  EXPECT_THROW(winebench::Cp949("\xF0\x9F\x98\x80"), std::runtime_error);  // not in the code page
}

}  // namespace
