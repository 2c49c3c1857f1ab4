// Dialog resources of a program: each dialog template as its resource
// script declares it (size and position in dialog units, styles, caption,
// font, controls). A program registers its templates once at start-up; the
// framework creates dialogs from them by id (CDialog(IDD_...)).
#pragma once
#include "windows.h"

struct DLGITEM_RES {
  LPCSTR className;  // "Button", "Static", "Edit", "msctls_progress32"
  LPCSTR text;       // initial text in the ANSI code page
  int id;
  DWORD style;  // complete style, WS_CHILD included
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
};

struct DLGTEMPLATE_RES {
  WORD id;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;  // dialog units
  LPCSTR caption;
  WORD pointSize;  // with DS_SETFONT
  LPCSTR faceName;
  const DLGITEM_RES* items;
  int itemCount;
};

// Registers a template (the table must outlive the program); FALSE when its
// id is taken by another table.
BOOL WINAPI AfxRegisterDialogTemplate(const DLGTEMPLATE_RES* dialogTemplate);
// The template of an id, or NULL.
const DLGTEMPLATE_RES* WINAPI AfxFindDialogTemplate(UINT id);

// Control statements with the styles a resource compiler gives them.
// `add` is OR-ed into the default style, `remove` taken out of it
// (resource scripts write "NOT WS_VISIBLE" for that).
#define RC_STYLE(base, add, remove) ((WS_CHILD | WS_VISIBLE | (base) | (add)) & ~(DWORD)(remove))
#define RC_CONTROL(text, id, cls, style, x, y, cx, cy, exStyle) \
  DLGITEM_RES { cls, text, id, (WS_CHILD | (style)), exStyle, x, y, cx, cy }
#define RC_LTEXT(text, id, x, y, cx, cy, add, remove) \
  DLGITEM_RES { "Static", text, id, RC_STYLE(SS_LEFT | WS_GROUP, add, remove), 0, x, y, cx, cy }
#define RC_CTEXT(text, id, x, y, cx, cy, add, remove) \
  DLGITEM_RES { "Static", text, id, RC_STYLE(SS_CENTER | WS_GROUP, add, remove), 0, x, y, cx, cy }
#define RC_PUSHBUTTON(text, id, x, y, cx, cy, add, remove) \
  DLGITEM_RES { "Button", text, id, RC_STYLE(BS_PUSHBUTTON | WS_TABSTOP, add, remove), 0, x, y, cx, cy }
#define RC_DEFPUSHBUTTON(text, id, x, y, cx, cy, add, remove) \
  DLGITEM_RES { "Button", text, id, RC_STYLE(BS_DEFPUSHBUTTON | WS_TABSTOP, add, remove), 0, x, y, cx, cy }
#define RC_EDITTEXT(id, x, y, cx, cy, add, remove, exStyle) \
  DLGITEM_RES { "Edit", "", id, RC_STYLE(ES_LEFT | WS_BORDER | WS_TABSTOP, add, remove), exStyle, x, y, cx, cy }
#define RC_ARRAYSIZE(a) (static_cast<int>(sizeof(a) / sizeof((a)[0])))
