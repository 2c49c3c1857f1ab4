// The rule a profile entry's value must follow before it names a file to
// copy and a profile for netsh.
#include <gtest/gtest.h>

#include "ProfileCommands.h"

namespace {

TEST(ProfileValues, OnlyPlainFileNamesOfTheSourceFolder) {
  struct {
    const char* value;
    bool plain;
  } rows[] = {
      {"office.xml", true},
      {"Campus Guest.xml", true},
      {"a..b.xml", true},              // dots inside a name go nowhere
      {".hidden.xml", true},
      {"\xC4\xB7\xC6\xDB\xBD\xBA.xml", true},  // Korean name in code page 949
      {"", false},
      {".", false},
      {"..", false},
      {"...", false},
      {"../outside.xml", false},
      {"..\\outside.xml", false},
      {"sub\\inner.xml", false},
      {"sub/inner.xml", false},
      {"C:outside.xml", false},
      {"C:\\Windows\\win.ini", false},
      {"\\\\server\\share\\p.xml", false},
      {"x\" name=evil.xml", false},
      {"a|b.xml", false},
      {"a>b.xml", false},
      {"a<b.xml", false},
      {"a?.xml", false},
      {"*.xml", false},
      {"tab\there.xml", false},
      {"line\nbreak.xml", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    EXPECT_EQ(row.plain, profiles::IsPlainFileName(row.value));
  }
}

}  // namespace
