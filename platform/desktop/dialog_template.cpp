#include "dialog_template.h"

#include <string_view>

namespace winsim::desktop {

namespace {

// The predefined control classes, by atom (0x0080 + index).
const char* const kAtomClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};

// Bounds-checked little-endian reads through a template. Offsets count
// from the template's start, which is where its DWORD alignment counts
// from too.
class Cursor {
 public:
  Cursor(const BYTE* base, size_t size) : base_(base), size_(size) {}

  bool Bytes(size_t n, const BYTE** p) {
    if (at_ > size_ || size_ - at_ < n) return false;
    *p = base_ + at_;
    at_ += n;
    return true;
  }
  bool Byte(BYTE* v) {
    const BYTE* p = nullptr;
    if (!Bytes(1, &p)) return false;
    *v = p[0];
    return true;
  }
  bool Word(WORD* v) {
    const BYTE* p = nullptr;
    if (!Bytes(2, &p)) return false;
    *v = static_cast<WORD>(p[0] | p[1] << 8);
    return true;
  }
  bool Short(short* v) {
    WORD w = 0;
    if (!Word(&w)) return false;
    *v = static_cast<short>(w);
    return true;
  }
  bool Dword(DWORD* v) {
    WORD low = 0, high = 0;
    if (!Word(&low) || !Word(&high)) return false;
    *v = low | static_cast<DWORD>(high) << 16;
    return true;
  }
  // Moves to the next DWORD boundary; the padding must be inside the
  // template, as a truncated one would otherwise pass.
  bool AlignDword() {
    const size_t aligned = (at_ + 3) & ~size_t{3};
    if (aligned > size_) return false;
    at_ = aligned;
    return true;
  }
  // A zero-terminated UTF-16 string.
  bool String(std::u16string* s) {
    s->clear();
    for (;;) {
      WORD c = 0;
      if (!Word(&c)) return false;
      if (c == 0) return true;
      s->push_back(static_cast<char16_t>(c));
    }
  }
  // A string, or an ordinal (0xFFFF, id): *ordinal is -1 for a string.
  bool StringOrOrdinal(std::u16string* s, int* ordinal) {
    WORD first = 0;
    if (!Word(&first)) return false;
    *ordinal = -1;
    s->clear();
    if (first == 0xFFFF) {
      WORD id = 0;
      if (!Word(&id)) return false;
      *ordinal = id;
      return true;
    }
    if (first == 0) return true;
    s->push_back(static_cast<char16_t>(first));
    std::u16string rest;
    if (!String(&rest)) return false;
    *s += rest;
    return true;
  }

 private:
  const BYTE* base_;
  size_t size_;
  size_t at_ = 0;
};

std::string Ansi(const std::u16string& s) {
  if (s.empty()) return std::string();
  const int length = static_cast<int>(s.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, s.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, s.data(), length, out.data(), needed, nullptr, nullptr);
  return out;
}

bool EqualsAsciiNoCase(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i];
    char y = b[i];
    if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - u'a' + u'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != static_cast<unsigned char>(y)) return false;
  }
  return true;
}

// A menu or window class of the dialog: a name, or "#<n>" for an ordinal.
bool NameOrNumber(Cursor* c, std::string* out) {
  std::u16string s;
  int ordinal = -1;
  if (!c->StringOrOrdinal(&s, &ordinal)) return false;
  *out = ordinal >= 0 ? "#" + std::to_string(ordinal) : Ansi(s);
  return true;
}

// A control's class: the predefined classes in one spelling whether the
// template holds their atom or their name (in any case), others as named.
bool ControlClass(Cursor* c, std::string* out) {
  std::u16string s;
  int ordinal = -1;
  if (!c->StringOrOrdinal(&s, &ordinal)) return false;
  if (ordinal >= 0) {
    const int index = ordinal - 0x80;
    *out = index >= 0 && index < 6 ? kAtomClasses[index] : "#" + std::to_string(ordinal);
    return true;
  }
  for (const char* name : kAtomClasses) {
    if (EqualsAsciiNoCase(s, name)) {
      *out = name;
      return true;
    }
  }
  *out = Ansi(s);
  return true;
}

bool ParseItem(Cursor* c, bool extended, DialogItemTemplate* item) {
  if (!c->AlignDword()) return false;
  if (extended) {
    DWORD id = 0;
    if (!c->Dword(&item->helpId) || !c->Dword(&item->exStyle) || !c->Dword(&item->style) || !c->Short(&item->x) ||
        !c->Short(&item->y) || !c->Short(&item->cx) || !c->Short(&item->cy) || !c->Dword(&id))
      return false;
    // Resource compilers write IDC_STATIC (-1) as 0xFFFFFFFF or as 0xFFFF.
    item->id = id == 0xFFFF ? -1 : static_cast<int>(id);
  } else {
    WORD id = 0;
    if (!c->Dword(&item->style) || !c->Dword(&item->exStyle) || !c->Short(&item->x) || !c->Short(&item->y) ||
        !c->Short(&item->cx) || !c->Short(&item->cy) || !c->Word(&id))
      return false;
    item->id = id == 0xFFFF ? -1 : id;
  }
  if (!ControlClass(c, &item->className)) return false;
  std::u16string text;
  if (!c->StringOrOrdinal(&text, &item->textOrdinal)) return false;
  item->text = item->textOrdinal >= 0 ? std::string() : Ansi(text);
  // Creation data: a byte count, then that many bytes.
  WORD extra = 0;
  const BYTE* bytes = nullptr;
  if (!c->Word(&extra) || !c->Bytes(extra, &bytes)) return false;
  item->creationData.assign(bytes, bytes + extra);
  return true;
}

}  // namespace

bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out) {
  if (!data || !out) return false;
  Cursor c(static_cast<const BYTE*>(data), size);
  DialogTemplate t;
  WORD version = 0, signature = 0;
  {
    Cursor probe = c;
    t.extended = probe.Word(&version) && probe.Word(&signature) && version == 1 && signature == 0xFFFF;
  }
  WORD count = 0;
  if (t.extended) {
    if (!c.Word(&version) || !c.Word(&signature) || !c.Dword(&t.helpId) || !c.Dword(&t.exStyle) || !c.Dword(&t.style))
      return false;
  } else if (!c.Dword(&t.style) || !c.Dword(&t.exStyle)) {
    return false;
  }
  if (!c.Word(&count) || !c.Short(&t.x) || !c.Short(&t.y) || !c.Short(&t.cx) || !c.Short(&t.cy)) return false;
  if (!NameOrNumber(&c, &t.menu) || !NameOrNumber(&c, &t.windowClass)) return false;
  std::u16string caption;
  if (!c.String(&caption)) return false;
  t.caption = Ansi(caption);
  if (t.style & DS_SETFONT) {
    if (!c.Word(&t.pointSize)) return false;
    // 0x7FFF: the message box font, and nothing more about the font follows.
    if (t.pointSize != 0x7FFF) {
      if (t.extended && (!c.Word(&t.weight) || !c.Byte(&t.italic) || !c.Byte(&t.charset))) return false;
      std::u16string face;
      if (!c.String(&face)) return false;
      t.faceName = Ansi(face);
    }
  }
  // Item by item: a count the bytes cannot hold fails at the first missing
  // item, before it costs memory.
  for (WORD i = 0; i < count; ++i) {
    DialogItemTemplate item;
    if (!ParseItem(&c, t.extended, &item)) return false;
    t.items.push_back(std::move(item));
  }
  *out = std::move(t);
  return true;
}

}  // namespace winsim::desktop
