// GDI objects of the desktop: fonts, brushes, pens and icons behind
// HGDIOBJ / HICON handles.
#pragma once
#include <QImage>

#include "desktop_internal.h"

namespace winsim::desktop {

struct GdiObject {
  enum Type { Font, Brush, Pen, Icon } type = Brush;
  LOGFONTA font{};
  COLORREF color = 0;
  bool hollow = false;
  bool stock = false;
  QImage image;  // icons
};

// The object behind a handle, or null when it is not a live object.
GdiObject* LookupGdiObject(const void* handle);
GdiObject* NewGdiObject(GdiObject object);
bool FreeGdiObject(const void* handle);

}  // namespace winsim::desktop
