// MakeHostFontConfigCurrent: the configuration it makes
// current is the one the font system would have read itself, from the same
// file; a file that cannot be used leaves the current configuration alone.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "host_font_config.h"

namespace fs = std::filesystem;
using winsim::desktop::MakeHostFontConfigCurrent;

namespace {

const char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

std::set<std::string> FontFiles(FcConfig* config) {
  std::set<std::string> files;
  FcFontSet* set = FcConfigGetFonts(config, FcSetSystem);
  for (int i = 0; set && i < set->nfont; ++i) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch) {
      files.insert(reinterpret_cast<const char*>(file));
    }
  }
  return files;
}

// The file the configuration picks for a request, after its rules.
std::string MatchedFile(FcConfig* config, const char* request) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(request));
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  std::string file;
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    file = reinterpret_cast<const char*>(path);
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return file;
}

class HostFontConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* saved = std::getenv("FONTCONFIG_FILE");
    m_hadFile = saved != nullptr;
    if (saved) m_savedFile = saved;
    m_dir = fs::temp_directory_path() / ("host-font-config-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir / "fonts");
    fs::create_directories(m_dir / "cache");
  }
  void TearDown() override {
    if (m_hadFile) setenv("FONTCONFIG_FILE", m_savedFile.c_str(), 1);
    else unsetenv("FONTCONFIG_FILE");
    fs::remove_all(m_dir);
  }

  // A configuration file in the test's folder, named by FONTCONFIG_FILE.
  void UseConfigFile(const std::string& text) {
    const fs::path file = m_dir / "fonts.conf";
    std::ofstream(file) << text;
    setenv("FONTCONFIG_FILE", file.c_str(), 1);
  }

  fs::path m_dir;
  bool m_hadFile = false;
  std::string m_savedFile;
};

TEST_F(HostFontConfigTest, TheHostConfigurationIsTheOneTheFontSystemReadsItself) {
  unsetenv("FONTCONFIG_FILE");
  ASSERT_TRUE(MakeHostFontConfigCurrent());
  FcConfig* current = FcConfigGetCurrent();
  FcConfig* own = FcInitLoadConfigAndFonts();
  ASSERT_NE(nullptr, own);
  ASSERT_NE(own, current);

  const std::set<std::string> files = FontFiles(current);
  EXPECT_TRUE(files.count(kDejaVuSans));
  EXPECT_EQ(FontFiles(own), files);
  // The host's rules came with it: aliases and language preferences pick the
  // same faces.
  for (const char* request : {"sans-serif", "monospace", "serif", "sans-serif:lang=ko", "NanumGothic", "Tahoma"}) {
    SCOPED_TRACE(request);
    const std::string file = MatchedFile(current, request);
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(MatchedFile(own, request), file);
  }
  FcConfigDestroy(own);
}

TEST_F(HostFontConfigTest, FollowsTheConfigurationFileTheEnvironmentNames) {
  fs::copy_file(kDejaVuSans, m_dir / "fonts" / "OnlyFace.ttf");
  UseConfigFile("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n  <dir>" +
                (m_dir / "fonts").string() + "</dir>\n  <cachedir>" + (m_dir / "cache").string() +
                "</cachedir>\n</fontconfig>\n");
  ASSERT_TRUE(MakeHostFontConfigCurrent());
  EXPECT_EQ(std::set<std::string>{(m_dir / "fonts" / "OnlyFace.ttf").string()}, FontFiles(FcConfigGetCurrent()));
}

TEST_F(HostFontConfigTest, AFileThatCannotBeUsedLeavesTheCurrentConfigurationAlone) {
  const std::string dir = (m_dir / "fonts").string();
  struct Case {
    const char* what;
    std::string text;  // empty: no file at all
  } cases[] = {
      {"no file", ""},
      {"not a configuration", "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + dir + "</dir>"},
      {"no cache folder", "<?xml version=\"1.0\"?>\n<fontconfig><dir>" + dir + "</dir></fontconfig>\n"},
      {"no font folder", "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" + (m_dir / "cache").string() + "</cachedir></fontconfig>\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.text.empty()) setenv("FONTCONFIG_FILE", (m_dir / "missing.conf").c_str(), 1);
    else UseConfigFile(c.text);
    // A configuration of no fonts, made current beforehand, stands in for
    // whatever the process had.
    FcConfig* sentinel = FcConfigCreate();
    ASSERT_TRUE(FcConfigBuildFonts(sentinel));
    ASSERT_TRUE(FcConfigSetCurrent(sentinel));
    FcConfigDestroy(sentinel);  // the current configuration holds its own reference
    EXPECT_FALSE(MakeHostFontConfigCurrent());
    EXPECT_EQ(sentinel, FcConfigGetCurrent());
  }
}

}  // namespace
