// Dialog templates built byte by byte, in both formats, read back field by
// field: ordinals and strings, fonts, alignment of items, creation data,
// and every truncation refused without reading past the end.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_template.h"

using winsim::desktop::DialogItemTemplate;
using winsim::desktop::DialogTemplate;
using winsim::desktop::ParseDialogTemplate;

namespace {

// Little-endian template writer. Offsets count from the template's start.
class Writer {
 public:
  Writer& Word(WORD v) {
    bytes.push_back(static_cast<BYTE>(v));
    bytes.push_back(static_cast<BYTE>(v >> 8));
    return *this;
  }
  Writer& Dword(DWORD v) { return Word(static_cast<WORD>(v)).Word(static_cast<WORD>(v >> 16)); }
  Writer& Short(short v) { return Word(static_cast<WORD>(v)); }
  Writer& Byte(BYTE v) {
    bytes.push_back(v);
    return *this;
  }
  Writer& Str(const std::u16string& s) {
    for (char16_t c : s) Word(c);
    return Word(0);
  }
  Writer& Ord(WORD id) { return Word(0xFFFF).Word(id); }
  Writer& Align() {
    while (bytes.size() % 4) bytes.push_back(0);
    return *this;
  }
  Writer& Rect(short x, short y, short cx, short cy) { return Short(x).Short(y).Short(cx).Short(cy); }
  std::vector<BYTE> bytes;
};

const DWORD kEx = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION;

// A DLGTEMPLATEEX with a menu ordinal, a class name, a Korean caption, a
// full font and five items of different kinds. Item starts fall on offsets
// that need padding and on ones that do not.
std::vector<BYTE> ExtendedTemplate() {
  Writer w;
  w.Word(1).Word(0xFFFF).Dword(0x11223344).Dword(WS_EX_TOPMOST).Dword(kEx).Word(5).Rect(-3, 4, 300, 200);
  w.Ord(5).Str(u"MyDlgClass").Str(u"\uC124\uCE58");             // menu #5, class, caption
  w.Word(9).Word(700).Byte(1).Byte(0x81).Str(u"\uAD74\uB9BC");  // font
  // Button atom, string text.
  w.Align().Dword(77).Dword(WS_EX_CLIENTEDGE).Dword(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON).Rect(1, 2, 50, 14);
  w.Dword(IDOK).Ord(0x80).Str(u"\uD655\uC778").Word(0);
  // Static atom, text ordinal, id -1 as a DWORD.
  w.Align().Dword(0).Dword(0).Dword(WS_CHILD | SS_BITMAP).Rect(0, 0, 13, 14);
  w.Dword(0xFFFFFFFF).Ord(0x82).Ord(128).Word(0);
  // Class by name, empty text, three bytes of creation data.
  w.Align().Dword(0).Dword(0).Dword(WS_CHILD | WS_BORDER).Rect(14, 141, 322, 14);
  w.Dword(1006).Str(u"msctls_progress32").Str(u"").Word(3).Byte(1).Byte(2).Byte(3);
  // A predefined class by its name in capitals; id -1 written as 0xFFFF.
  w.Align().Dword(0).Dword(0).Dword(WS_CHILD).Rect(5, 6, 7, 8);
  w.Dword(0xFFFF).Str(u"BUTTON").Str(u"x").Word(0);
  // An atom that is no predefined class.
  w.Align().Dword(0).Dword(0).Dword(WS_CHILD).Rect(-1, -2, 3, 4);
  w.Dword(0x12345678).Ord(0x90).Str(u"").Word(0);
  return w.bytes;
}

// A DLGTEMPLATE: menu by name, no class, font without weight, WORD ids.
std::vector<BYTE> ClassicTemplate() {
  Writer w;
  w.Dword(DS_SETFONT | WS_CHILD).Dword(WS_EX_APPWINDOW).Word(5).Rect(10, 20, 30, 40);
  w.Str(u"MENU1").Word(0).Str(u"Hi");
  w.Word(8).Str(u"MS Shell Dlg");
  const WORD atoms[] = {0x81, 0x83, 0x84, 0x85};
  for (int i = 0; i < 4; ++i) {
    w.Align().Dword(WS_CHILD | static_cast<DWORD>(i)).Dword(static_cast<DWORD>(i) << 8).Rect(1, 1, 1, 1);
    w.Word(static_cast<WORD>(100 + i)).Ord(atoms[i]).Str(i % 2 ? u"odd" : u"even").Word(0);
  }
  w.Align().Dword(WS_CHILD).Dword(0).Rect(2, 2, 2, 2);
  w.Word(0xFFFF).Ord(0x82).Ord(7).Word(2).Byte(0xAB).Byte(0xCD);
  return w.bytes;
}

void ExpectItem(const DialogItemTemplate& item, const char* className, const std::string& text, int textOrdinal,
                DWORD helpId, DWORD exStyle, DWORD style, short x, short y, short cx, short cy, int id) {
  EXPECT_EQ(item.className, className);
  EXPECT_EQ(item.text, text);
  EXPECT_EQ(item.textOrdinal, textOrdinal);
  EXPECT_EQ(item.helpId, helpId);
  EXPECT_EQ(item.exStyle, exStyle);
  EXPECT_EQ(item.style, style);
  EXPECT_EQ(item.x, x);
  EXPECT_EQ(item.y, y);
  EXPECT_EQ(item.cx, cx);
  EXPECT_EQ(item.cy, cy);
  EXPECT_EQ(item.id, id);
}

TEST(DialogTemplate, ExtendedFormatFieldByField) {
  const std::vector<BYTE> bytes = ExtendedTemplate();
  DialogTemplate t;
  ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &t));
  EXPECT_TRUE(t.extended);
  EXPECT_EQ(t.helpId, 0x11223344u);
  EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_TOPMOST));
  EXPECT_EQ(t.style, kEx);
  EXPECT_EQ(t.x, -3);
  EXPECT_EQ(t.y, 4);
  EXPECT_EQ(t.cx, 300);
  EXPECT_EQ(t.cy, 200);
  EXPECT_EQ(t.menu, "#5");
  EXPECT_EQ(t.windowClass, "MyDlgClass");
  EXPECT_EQ(t.caption, "\xBC\xB3\xC4\xA1");  // in code page 949
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(t.weight, 700);
  EXPECT_EQ(t.italic, 1);
  EXPECT_EQ(t.charset, 0x81);
  EXPECT_EQ(t.faceName, "\xB1\xBC\xB8\xB2");
  ASSERT_EQ(t.items.size(), 5u);
  ExpectItem(t.items[0], "Button", "\xC8\xAE\xC0\xCE", -1, 77, WS_EX_CLIENTEDGE,
             WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 1, 2, 50, 14, IDOK);
  ExpectItem(t.items[1], "Static", "", 128, 0, 0, WS_CHILD | SS_BITMAP, 0, 0, 13, 14, -1);
  ExpectItem(t.items[2], "msctls_progress32", "", -1, 0, 0, WS_CHILD | WS_BORDER, 14, 141, 322, 14, 1006);
  ExpectItem(t.items[3], "Button", "x", -1, 0, 0, WS_CHILD, 5, 6, 7, 8, -1);
  ExpectItem(t.items[4], "#144", "", -1, 0, 0, WS_CHILD, -1, -2, 3, 4, 0x12345678);
  EXPECT_EQ(t.items[2].creationData, (std::vector<BYTE>{1, 2, 3}));
  for (size_t i : {0u, 1u, 3u, 4u}) EXPECT_TRUE(t.items[i].creationData.empty()) << i;
}

TEST(DialogTemplate, ClassicFormatFieldByField) {
  const std::vector<BYTE> bytes = ClassicTemplate();
  DialogTemplate t;
  ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &t));
  EXPECT_FALSE(t.extended);
  EXPECT_EQ(t.helpId, 0u);
  EXPECT_EQ(t.style, static_cast<DWORD>(DS_SETFONT | WS_CHILD));
  EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  EXPECT_EQ(t.x, 10);
  EXPECT_EQ(t.cy, 40);
  EXPECT_EQ(t.menu, "MENU1");
  EXPECT_EQ(t.windowClass, "");
  EXPECT_EQ(t.caption, "Hi");
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_EQ(t.weight, 0);  // not in this format
  EXPECT_EQ(t.faceName, "MS Shell Dlg");
  ASSERT_EQ(t.items.size(), 5u);
  const char* classes[] = {"Edit", "ListBox", "ScrollBar", "ComboBox"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ExpectItem(t.items[static_cast<size_t>(i)], classes[i], i % 2 ? "odd" : "even", -1, 0, static_cast<DWORD>(i) << 8,
               WS_CHILD | static_cast<DWORD>(i), 1, 1, 1, 1, 100 + i);
  }
  ExpectItem(t.items[4], "Static", "", 7, 0, 0, WS_CHILD, 2, 2, 2, 2, -1);
  EXPECT_EQ(t.items[4].creationData, (std::vector<BYTE>{0xAB, 0xCD}));
}

TEST(DialogTemplate, AlignmentCountsFromTheTemplateStart) {
  // The same template at an address that is not DWORD aligned reads the same.
  for (const std::vector<BYTE>& bytes : {ExtendedTemplate(), ClassicTemplate()}) {
    std::vector<BYTE> shifted(bytes.size() + 2);
    std::memcpy(shifted.data() + 2, bytes.data(), bytes.size());
    DialogTemplate aligned, unaligned;
    ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), &aligned));
    ASSERT_TRUE(ParseDialogTemplate(shifted.data() + 2, bytes.size(), &unaligned));
    ASSERT_EQ(aligned.items.size(), unaligned.items.size());
    for (size_t i = 0; i < aligned.items.size(); ++i) {
      EXPECT_EQ(aligned.items[i].id, unaligned.items[i].id);
      EXPECT_EQ(aligned.items[i].className, unaligned.items[i].className);
      EXPECT_EQ(aligned.items[i].text, unaligned.items[i].text);
    }
  }
}

TEST(DialogTemplate, FontFieldsOnlyWithSetFont) {
  // No DS_SETFONT: the item follows the caption directly.
  Writer plain;
  plain.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(WS_POPUP).Word(1).Rect(0, 0, 10, 10);
  plain.Word(0).Word(0).Str(u"ab");
  plain.Align().Dword(0).Dword(0).Dword(WS_CHILD).Rect(0, 0, 1, 1).Dword(42).Ord(0x80).Str(u"b").Word(0);
  // The message box font (0x7FFF): nothing more about the font follows.
  Writer messageFont;
  messageFont.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(WS_POPUP | DS_SETFONT).Word(1).Rect(0, 0, 10, 10);
  messageFont.Word(0).Word(0).Str(u"ab").Word(0x7FFF);
  messageFont.Align().Dword(0).Dword(0).Dword(WS_CHILD).Rect(0, 0, 1, 1).Dword(42).Ord(0x80).Str(u"b").Word(0);
  // DS_SHELLFONT holds DS_SETFONT.
  Writer shellFont;
  shellFont.Word(1).Word(0xFFFF).Dword(0).Dword(0).Dword(WS_POPUP | DS_SHELLFONT).Word(1).Rect(0, 0, 10, 10);
  shellFont.Word(0).Word(0).Str(u"ab").Word(8).Word(400).Byte(0).Byte(1).Str(u"MS Shell Dlg");
  shellFont.Align().Dword(0).Dword(0).Dword(WS_CHILD).Rect(0, 0, 1, 1).Dword(42).Ord(0x80).Str(u"b").Word(0);
  const struct {
    const char* what;
    const std::vector<BYTE>& bytes;
    WORD pointSize;
    const char* face;
  } rows[] = {{"no font", plain.bytes, 0, ""},
              {"message box font", messageFont.bytes, 0x7FFF, ""},
              {"shell font", shellFont.bytes, 8, "MS Shell Dlg"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    DialogTemplate t;
    ASSERT_TRUE(ParseDialogTemplate(row.bytes.data(), row.bytes.size(), &t));
    EXPECT_EQ(t.pointSize, row.pointSize);
    EXPECT_EQ(t.faceName, row.face);
    EXPECT_EQ(t.caption, "ab");
    ASSERT_EQ(t.items.size(), 1u);
    EXPECT_EQ(t.items[0].id, 42);
    EXPECT_EQ(t.items[0].className, "Button");
    EXPECT_EQ(t.items[0].text, "b");
  }
}

TEST(DialogTemplate, EveryTruncationFailsAndLeavesTheResultAlone) {
  for (const std::vector<BYTE>& full : {ExtendedTemplate(), ClassicTemplate()}) {
    for (size_t n = 0; n < full.size(); ++n) {
      SCOPED_TRACE(n);
      // Exactly n bytes on the heap: a read past them is a fault the
      // address sanitizer reports.
      std::vector<BYTE> cut(full.begin(), full.begin() + static_cast<long>(n));
      DialogTemplate t;
      t.caption = "sentinel";
      t.items.resize(3);
      EXPECT_FALSE(ParseDialogTemplate(cut.data(), cut.size(), &t));
      EXPECT_EQ(t.caption, "sentinel");
      EXPECT_EQ(t.items.size(), 3u);
    }
    DialogTemplate t;
    EXPECT_TRUE(ParseDialogTemplate(full.data(), full.size(), &t));
  }
}

TEST(DialogTemplate, MalformedTemplates) {
  // More items announced than the bytes hold.
  std::vector<BYTE> overcounted = ClassicTemplate();
  overcounted[8] = 6;  // cdit
  // A count that would cost memory if trusted.
  std::vector<BYTE> hugeCount = ExtendedTemplate();
  hugeCount[16] = 0xFF;
  hugeCount[17] = 0xFF;
  // Creation data longer than what is left.
  std::vector<BYTE> longData = ClassicTemplate();
  longData[longData.size() - 4] = 3;  // the last item's count, with two bytes after it
  const struct {
    const char* what;
    const std::vector<BYTE>& bytes;
  } rows[] = {{"item count too large", overcounted}, {"huge item count", hugeCount}, {"creation data", longData}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    DialogTemplate t;
    EXPECT_FALSE(ParseDialogTemplate(row.bytes.data(), row.bytes.size(), &t));
  }
  DialogTemplate t;
  EXPECT_FALSE(ParseDialogTemplate(nullptr, 0, &t));
  const std::vector<BYTE> bytes = ClassicTemplate();
  EXPECT_FALSE(ParseDialogTemplate(bytes.data(), bytes.size(), nullptr));
}

TEST(DialogTemplate, NoItemsAndTrailingBytes) {
  Writer w;
  w.Dword(WS_POPUP).Dword(0).Word(0).Rect(1, 2, 3, 4).Word(0).Word(0).Word(0);
  w.Byte(0xEE);  // whatever follows the template is not its business
  DialogTemplate t;
  ASSERT_TRUE(ParseDialogTemplate(w.bytes.data(), w.bytes.size(), &t));
  EXPECT_FALSE(t.extended);
  EXPECT_TRUE(t.items.empty());
  EXPECT_EQ(t.caption, "");
  EXPECT_EQ(t.menu, "");
  EXPECT_EQ(t.cy, 4);
}

}  // namespace
