// Dialog templates as the dialog manager reads them: DLGTEMPLATE and
// DLGTEMPLATEEX resources parsed into one form, texts in the ANSI code page.
#pragma once
#include <string>
#include <vector>

#include "windows.h"

namespace winsim::desktop {

struct DialogItemTemplate {
  std::string className;   // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox" for the predefined atoms 0x0080..0x0085, else the class name (ANSI code page)
  std::string text;        // ANSI code page; empty when textOrdinal >= 0
  int textOrdinal = -1;    // resource id when the text is an ordinal (0xFFFF, id)
  DWORD helpId = 0, exStyle = 0, style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;              // DWORD in DLGITEMTEMPLATEEX, WORD in DLGITEMTEMPLATE; 0xFFFF reads back as -1
  std::vector<BYTE> creationData;
};

struct DialogTemplate {
  bool extended = false;
  DWORD helpId = 0, exStyle = 0, style = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string menu, windowClass, caption;  // ANSI; menu/class ordinals as "#<n>"
  WORD pointSize = 0, weight = 0;
  BYTE italic = 0, charset = 0;
  std::string faceName;  // ANSI; only with DS_SETFONT (or DS_SHELLFONT)
  std::vector<DialogItemTemplate> items;
};

// Parses a DLGTEMPLATE or DLGTEMPLATEEX as LoadResource gives it; false on a
// truncated or malformed template (nothing is read past `size`).
// A predefined control class reads back in the spelling above whether the
// template holds its atom or its name in any case (some resource compilers
// write "STATIC"); other classes as written, ordinals as "#<n>". A
// pointSize of 0x7FFF (the message box font) comes with no weight, italic,
// charset or face.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate* out);

}  // namespace winsim::desktop
