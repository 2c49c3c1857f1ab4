// The setup program's resource script as the program gets it: its dialogs
// (known values of the wizard window and the welcome page, and the texts
// as UTF-16 in the compiled resource), the icon against the icon file, the
// manifest against its file, and the version information.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "machine_fixture.h"
#include "resource.h"
#include "windows.h"

using winsim::desktop::DialogTemplate;
using winsim::desktop::ParseDialogTemplate;

namespace {

std::string Resource(LPCSTR type, WORD id) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
  if (!found) return std::string();
  const void* data = LockResource(LoadResource(nullptr, found));
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

DialogTemplate Dialog(WORD id) {
  const std::string bytes = Resource(RT_DIALOG, id);
  DialogTemplate t;
  EXPECT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &t)) << id;
  return t;
}

std::string Utf16Bytes(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

WORD Le16(const std::string& b, size_t at) {
  return static_cast<WORD>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}
DWORD Le32(const std::string& b, size_t at) { return Le16(b, at) | static_cast<DWORD>(Le16(b, at + 2)) << 16; }

const DWORD kPage = DS_SETFONT | DS_CONTROL | WS_CHILD | WS_DISABLED;

TEST(SetupResources, EveryDialogIsThere) {
  for (WORD id :
       {IDD_VELTRANEGTCSETUP_DIALOG, IDD_WELCOME, IDD_LICENSE, IDD_PROGRESS, IDD_ERROR, IDD_FINISH, IDD_NOTICE}) {
    SCOPED_TRACE(id);
    SetLastError(0xdeadbeef);
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), RT_DIALOG);
    ASSERT_NE(found, nullptr) << GetLastError();
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    // Korean resources, found through the machine's language and explicitly.
    EXPECT_EQ(FindResourceExA(nullptr, RT_DIALOG, MAKEINTRESOURCEA(id), MAKELANGID(LANG_KOREAN, SUBLANG_DEFAULT)),
              found);
  }
  SetLastError(0xdeadbeef);
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(103), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(SetupResources, WizardWindow) {
  const DialogTemplate t = Dialog(IDD_VELTRANEGTCSETUP_DIALOG);
  EXPECT_TRUE(t.extended);
  EXPECT_EQ(t.style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | DS_FIXEDSYS | WS_POPUP | WS_VISIBLE | WS_CAPTION));
  EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_TOPMOST | WS_EX_APPWINDOW));
  EXPECT_EQ(t.cx, 343);
  EXPECT_EQ(t.cy, 189);
  EXPECT_EQ(t.caption, "VeltraneGtcSetup");
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(t.faceName, "MS Shell Dlg");
  ASSERT_EQ(t.items.size(), 6u);
  const struct {
    int id;
    const char* text;
    DWORD style;
    short x;
  } buttons[] = {{ID_WIZBACK, "< 이전", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 117},
                 {ID_WIZNEXT, "다음 >", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 169},
                 {IDCANCEL, "취소", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 229},
                 {ID_WIZFINISH, "마침", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 286},
                 {IDOK, "확인", WS_CHILD | WS_DISABLED | WS_TABSTOP | BS_DEFPUSHBUTTON, 0}};
  for (size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.items[i].className, "Button");
    EXPECT_EQ(t.items[i].id, buttons[i].id);
    EXPECT_EQ(t.items[i].text, buttons[i].text);  // this file's literals are in code page 949
    EXPECT_EQ(t.items[i].style, buttons[i].style);
    EXPECT_EQ(t.items[i].x, buttons[i].x);
    EXPECT_EQ(t.items[i].y, 172);
    EXPECT_EQ(t.items[i].cx, 50);
    EXPECT_EQ(t.items[i].cy, 14);
  }
  EXPECT_EQ(t.items[5].className, "Static");
  EXPECT_EQ(t.items[5].id, IDC_SHEETRECT);
  EXPECT_EQ(t.items[5].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME));
  EXPECT_EQ(t.items[5].cy, 170);
}

TEST(SetupResources, WelcomePage) {
  const DialogTemplate t = Dialog(IDD_WELCOME);
  EXPECT_EQ(t.style, kPage);
  EXPECT_EQ(t.caption, "");
  EXPECT_EQ(t.cy, 199);
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(t.faceName, "굴림");
  EXPECT_EQ(t.charset, 0x81);  // HANGUL_CHARSET
  ASSERT_EQ(t.items.size(), 13u);
  for (size_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.items[i].className, "Static");
    EXPECT_EQ(t.items[i].id, IDC_STATIC_1016 + static_cast<int>(i));
    EXPECT_EQ(t.items[i].style, static_cast<DWORD>(WS_CHILD | WS_GROUP | SS_LEFT));  // hidden
  }
  EXPECT_EQ(t.items[8].id, -1);
  EXPECT_EQ(t.items[8].style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | SS_BITMAP));
  EXPECT_EQ(t.items[10].id, 1011);
  EXPECT_EQ(t.items[11].text, "Button1");
  EXPECT_EQ(t.items[11].style, static_cast<DWORD>(WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON));
  EXPECT_EQ(t.items[12].className, "Button");
  EXPECT_EQ(t.items[12].id, IDC_CHECK_REBOOT);
  EXPECT_EQ(t.items[12].text, "Veltrane 설치완료시 자동으로 재부팅합니다.");
  EXPECT_EQ(t.items[12].style, static_cast<DWORD>(WS_CHILD | WS_TABSTOP | BS_AUTOCHECKBOX));
  EXPECT_EQ(t.items[12].x, 121);
  EXPECT_EQ(t.items[12].cx, 219);
}

TEST(SetupResources, TextsAreUtf16InTheResource) {
  const struct {
    WORD dialog;
    std::u16string text;
  } rows[] = {
      {IDD_VELTRANEGTCSETUP_DIALOG, u"< \uC774\uC804"},
      {IDD_WELCOME, u"\uAD74\uB9BC"},
      {IDD_LICENSE, u"\uC0AC\uC6A9\uAD8C \uACC4\uC57D\uC758 \uC870\uD56D\uC5D0 \uB3D9\uC758\uD569\uB2C8\uB2E4(&A)"},
      {IDD_NOTICE, u"RAZ Plug-In \uC124\uCE58\uB97C \uC2DC\uC791\uD569\uB2C8\uB2E4."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.dialog);
    const std::string bytes = Resource(RT_DIALOG, row.dialog);
    // The string, its terminator included, at an even offset.
    const std::string wanted = Utf16Bytes(row.text) + std::string(2, '\0');
    const size_t at = bytes.find(wanted);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(at % 2, 0u);
  }
}

TEST(SetupResources, IconImagesAreTheIconFilesImages) {
  const std::string ico = winsim::testing::ReadHostFile(SETUP_ICON_FILE);
  const std::string group = Resource(RT_GROUP_ICON, IDR_MAINFRAME);
  ASSERT_GE(ico.size(), 6u);
  ASSERT_GE(group.size(), 6u);
  const WORD count = Le16(ico, 4);
  ASSERT_EQ(Le16(group, 2), 1);  // icons
  ASSERT_EQ(Le16(group, 4), count);
  ASSERT_GE(group.size(), 6u + 14u * count);
  for (WORD i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const size_t file = 6 + 16 * static_cast<size_t>(i), res = 6 + 14 * static_cast<size_t>(i);
    // Width, height, colours, reserved, planes, bits and size as in the file.
    EXPECT_EQ(group.substr(res, 12), ico.substr(file, 12));
    const DWORD size = Le32(ico, file + 8), offset = Le32(ico, file + 12);
    ASSERT_LE(static_cast<size_t>(offset) + size, ico.size());
    EXPECT_EQ(Resource(RT_ICON, Le16(group, res + 12)), ico.substr(offset, size));
  }
  // LoadIcon finds it among the program's resources, which answer for an
  // icon that is not there too.
  EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
  SetLastError(0xdeadbeef);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME + 1)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(SetupResources, ManifestIsTheFileBesideTheScript) {
  const std::string manifest = Resource(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
  EXPECT_EQ(manifest, winsim::testing::ReadHostFile(SETUP_MANIFEST_FILE));
  for (const char* part : {"level=\"asInvoker\"", "uiAccess=\"false\"",
                           "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
                           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""}) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

// One node of a VS_VERSIONINFO tree: length, value length, type, key,
// value, children, each DWORD aligned within the resource.
struct VersionNode {
  std::u16string key;
  std::string value;  // raw bytes
  std::vector<VersionNode> children;
};

bool ReadVersionNode(const std::string& b, size_t at, VersionNode* node) {
  if (at + 6 > b.size()) return false;
  const size_t end = at + Le16(b, at);
  const WORD valueLength = Le16(b, at + 2), type = Le16(b, at + 4);
  if (end > b.size() || end < at + 6) return false;
  size_t p = at + 6;
  for (; p + 1 < end && Le16(b, p) != 0; p += 2) node->key.push_back(static_cast<char16_t>(Le16(b, p)));
  p = (p + 2 + 3) & ~size_t{3};
  const size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;  // text values count characters
  if (p + valueBytes > end) return false;
  node->value = b.substr(p, valueBytes);
  p = (p + valueBytes + 3) & ~size_t{3};
  while (p < end) {
    VersionNode child;
    if (!ReadVersionNode(b, p, &child)) return false;
    p = (p + Le16(b, p) + 3) & ~size_t{3};
    node->children.push_back(std::move(child));
  }
  return true;
}

const VersionNode* Child(const VersionNode& node, const std::u16string& key) {
  for (const VersionNode& c : node.children) {
    if (c.key == key) return &c;
  }
  return nullptr;
}

TEST(SetupResources, VersionInformation) {
  const std::string b = Resource(RT_VERSION, 1);
  VersionNode root;
  ASSERT_TRUE(ReadVersionNode(b, 0, &root));
  EXPECT_EQ(root.key, u"VS_VERSION_INFO");
  ASSERT_EQ(root.value.size(), 52u);             // VS_FIXEDFILEINFO
  EXPECT_EQ(Le32(root.value, 0), 0xFEEF04BDu);   // its signature
  EXPECT_EQ(Le32(root.value, 8), 0x00010000u);   // file version 1.0
  EXPECT_EQ(Le32(root.value, 12), 0u);           // .0.0
  EXPECT_EQ(Le32(root.value, 16), 0x00010000u);  // product version 1.0
  EXPECT_EQ(Le32(root.value, 20), 0u);
  const VersionNode* strings = Child(root, u"StringFileInfo");
  ASSERT_NE(strings, nullptr);
  const VersionNode* table = Child(*strings, u"041204b0");
  ASSERT_NE(table, nullptr);
  const struct {
    std::u16string key, value;
  } rows[] = {{u"ProductName", u"Veltrane RAZ"},
              {u"FileVersion", u"1.0.0.0"},
              {u"CompanyName", u"Bramble Cast Inc."},
              {u"OriginalFilename", u"VeltraneGtcSetup.exe"}};
  for (const auto& row : rows) {
    const VersionNode* value = Child(*table, row.key);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->value, Utf16Bytes(row.value) + std::string(2, '\0'));
  }
  const VersionNode* vars = Child(root, u"VarFileInfo");
  ASSERT_NE(vars, nullptr);
  const VersionNode* translation = Child(*vars, u"Translation");
  ASSERT_NE(translation, nullptr);
  EXPECT_EQ(translation->value, std::string("\x12\x04\xb0\x04", 4));  // Korean, Unicode
}

}  // namespace
