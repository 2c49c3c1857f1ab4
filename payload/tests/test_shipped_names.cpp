// The source folder holds every file the setup program copies, under the
// exact names it copies them by, and the page artwork follows the density
// rule: banners have a 120-DPI variant, page images do not.
#include <gtest/gtest.h>

#include <set>

#include "shipped_folder.h"

namespace payload_test {
namespace {

TEST(ShippedNames, EveryFileOfTheInstallOrderIsThere) {
  ASSERT_EQ(InstallOrder().size(), 35u);
  const std::vector<std::string> profiles = ShippedProfileFiles();
  ASSERT_GE(profiles.size(), 2u) << "BASIC_PROFILE names fewer than two profile files";

  for (const InstallRow& row : InstallOrder()) {
    std::vector<std::string> names;
    if (std::string(row.file) == kProfileEntries) names = profiles;
    else names.push_back(row.file);
    for (const std::string& name : names) {
      SCOPED_TRACE("row " + std::to_string(row.number) + " (" + row.destination + "): " + name);
#ifndef PAYLOAD_PLUGIN_FILE
      if (name == "ORV_EapPeap.dll") continue;  // the plug-in is not part of this tree yet
#endif
      std::error_code ec;
      EXPECT_TRUE(std::filesystem::is_regular_file(Shipped(name), ec));
      const uintmax_t size = std::filesystem::file_size(Shipped(name), ec);
      EXPECT_FALSE(ec) << ec.message();
      if (!ec) {
        EXPECT_GT(size, 0u);
      }
    }
  }
  // Each profile entry must name a file of its own.
  EXPECT_EQ(std::set<std::string>(profiles.begin(), profiles.end()).size(), profiles.size());
}

// Names are compared byte for byte: a directory listing must hold each
// name exactly, not just something a case-insensitive lookup would find.
TEST(ShippedNames, NamesMatchByteForByte) {
  std::set<std::string> listed;
  for (const auto& entry : std::filesystem::directory_iterator(SourceDir()))
    listed.insert(entry.path().filename().string());
  for (const char* name : {"VeltraneGTCSetup.ini", "인스톨.ico", "OrvGtcLogo.bmp", "EULA_kor.txt", "VelText.dll",
                           "nxc1xu32.dll", "vtxSetUP_kor.png", "Set4-2_DPI_192_kor.png"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(listed.count(name), 1u);
  }
  EXPECT_EQ(listed.count("VeltraneGtcSetup.ini"), 0u) << "the configuration is spelt with GTC in capitals";
}

TEST(ShippedNames, ArtworkDensityVariantsFollowTheBannerRule) {
  for (const ArtworkBase& base : ArtworkBases()) {
    for (const Density& density : Densities()) {
      const std::string name = ArtworkName(base.name, density);
      SCOPED_TRACE(name);
      const bool expected = base.banner || std::string(density.suffix) != "_DPI_120";
      EXPECT_EQ(std::filesystem::exists(Shipped(name)), expected);
    }
  }
}

TEST(ShippedNames, NoArtworkOutsideTheRule) {
  std::set<std::string> allowed;
  for (const ArtworkBase& base : ArtworkBases())
    for (const Density& density : Densities())
      if (base.banner || std::string(density.suffix) != "_DPI_120") allowed.insert(ArtworkName(base.name, density));
  for (const auto& entry : std::filesystem::directory_iterator(SourceDir())) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".png") continue;
    SCOPED_TRACE(name);
    EXPECT_EQ(allowed.count(name), 1u);
  }
}

}  // namespace
}  // namespace payload_test

TEST(ShippedNames, SetupProgramUnderBothNames) {
  // Started by the administrator as VeltraneGTC64.exe; copied into the
  // recovery folder, and started by the uninstall entry, as
  // VeltraneGtcSetup.exe.
  for (const char* name : {"VeltraneGTC64.exe", "VeltraneGtcSetup.exe"}) {
    SCOPED_TRACE(name);
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::is_regular_file(payload_test::Shipped(name), ec));
  }
  EXPECT_EQ(std::filesystem::file_size(payload_test::Shipped("VeltraneGTC64.exe")),
            std::filesystem::file_size(payload_test::Shipped("VeltraneGtcSetup.exe")));
}
