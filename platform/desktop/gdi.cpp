// Device contexts, brushes, stock objects, icons and the text attributes
// of wingdi.h. A device context of a window being painted draws through
// that paint's painter; any other one measures but draws nothing.
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <cstring>
#include <mutex>
#include <set>

#include "desktop_internal.h"
#include "gdi_objects.h"
#include "host_font_config.h"
#include "icon_resource.h"
#include "winsim/codepage.h"

namespace winsim::desktop {
namespace {

std::recursive_mutex g_mutex;
std::set<const void*>& LiveObjects() {
  // Never destroyed: other threads may use it while the process exits.
  static auto* live = new std::set<const void*>;
  return *live;
}
std::map<HDC, std::unique_ptr<DeviceContext>>& Contexts() {
  // Never destroyed: other threads may use it while the process exits.
  static auto* contexts = new std::map<HDC, std::unique_ptr<DeviceContext>>;
  return *contexts;
}
std::map<HWND, QPainter*>& Painters() {
  // Never destroyed: other threads may use it while the process exits.
  static auto* painters = new std::map<HWND, QPainter*>;
  return *painters;
}
uintptr_t g_nextDc = 0x20000;

GdiObject* StockObject(int index) {
  static GdiObject* table[DEFAULT_GUI_FONT + 1] = {};
  static std::once_flag once;
  std::call_once(once, [] {
    auto brush = [](COLORREF color, bool hollow) {
      GdiObject o;
      o.type = GdiObject::Brush;
      o.color = color;
      o.hollow = hollow;
      o.stock = true;
      return NewGdiObject(o);
    };
    auto pen = [](COLORREF color, bool hollow) {
      GdiObject o;
      o.type = GdiObject::Pen;
      o.color = color;
      o.hollow = hollow;
      o.stock = true;
      return NewGdiObject(o);
    };
    auto font = [](const char* face, int height) {
      GdiObject o;
      o.type = GdiObject::Font;
      o.font.lfHeight = height;
      o.font.lfWeight = FW_NORMAL;
      o.font.lfCharSet = DEFAULT_CHARSET;
      lstrcpynA(o.font.lfFaceName, face, LF_FACESIZE);
      o.stock = true;
      return NewGdiObject(o);
    };
    table[WHITE_BRUSH] = static_cast<GdiObject*>(brush(RGB(255, 255, 255), false));
    table[LTGRAY_BRUSH] = static_cast<GdiObject*>(brush(RGB(192, 192, 192), false));
    table[GRAY_BRUSH] = static_cast<GdiObject*>(brush(RGB(128, 128, 128), false));
    table[DKGRAY_BRUSH] = static_cast<GdiObject*>(brush(RGB(64, 64, 64), false));
    table[BLACK_BRUSH] = static_cast<GdiObject*>(brush(RGB(0, 0, 0), false));
    table[NULL_BRUSH] = static_cast<GdiObject*>(brush(0, true));
    table[WHITE_PEN] = static_cast<GdiObject*>(pen(RGB(255, 255, 255), false));
    table[BLACK_PEN] = static_cast<GdiObject*>(pen(RGB(0, 0, 0), false));
    table[NULL_PEN] = static_cast<GdiObject*>(pen(0, true));
    table[SYSTEM_FONT] = static_cast<GdiObject*>(font("System", 16));
    table[DEFAULT_GUI_FONT] = static_cast<GdiObject*>(font("MS Shell Dlg", -11));
  });
  return index >= 0 && index <= DEFAULT_GUI_FONT ? table[index] : nullptr;
}

// The brushes of the system colours 3D face and window.
GdiObject* SystemBrush(COLORREF color) {
  GdiObject o;
  o.type = GdiObject::Brush;
  o.color = color;
  o.stock = true;
  return static_cast<GdiObject*>(NewGdiObject(o));
}

// A brush given as a system colour index + 1, as window classes allow.
bool SystemColorBrush(const void* handle, COLORREF* color) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value > 31) return false;
  switch (value - 1) {
    case 5: *color = RGB(255, 255, 255); return true;   // COLOR_WINDOW
    case 15: *color = RGB(240, 240, 240); return true;  // COLOR_3DFACE
    case 8: *color = RGB(0, 0, 0); return true;         // COLOR_WINDOWTEXT
    default: *color = RGB(240, 240, 240); return true;
  }
}

}  // namespace

GdiObject* LookupGdiObject(const void* handle) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (!LiveObjects().count(handle)) return nullptr;
  return static_cast<GdiObject*>(const_cast<void*>(handle));
}

GdiObject* NewGdiObject(GdiObject object) {
  auto* o = new GdiObject(std::move(object));
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  LiveObjects().insert(o);
  return o;
}

bool FreeGdiObject(const void* handle) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  GdiObject* o = LookupGdiObject(handle);
  if (!o) return false;
  if (o->stock) return true;
  LiveObjects().erase(handle);
  delete o;
  return true;
}

HDC NewDeviceContext(QPainter* painter, HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  g_nextDc += 4;
  HDC hdc = reinterpret_cast<HDC>(g_nextDc);
  auto dc = std::make_unique<DeviceContext>();
  dc->painter = painter;
  dc->hwnd = hwnd;
  Contexts()[hdc] = std::move(dc);
  return hdc;
}

DeviceContext* LookupDC(HDC hdc) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto it = Contexts().find(hdc);
  return it == Contexts().end() ? nullptr : it->second.get();
}

void FreeDeviceContext(HDC hdc) {
  {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    Contexts().erase(hdc);
  }
}

bool BrushColor(HBRUSH brush, COLORREF* color) {
  if (SystemColorBrush(brush, color)) return true;
  GdiObject* o = LookupGdiObject(brush);
  if (!o || o->type != GdiObject::Brush || o->hollow) return false;
  *color = o->color;
  return true;
}

HBRUSH SystemFaceBrush() {
  static GdiObject* brush = SystemBrush(RGB(240, 240, 240));
  return reinterpret_cast<HBRUSH>(brush);
}

HBRUSH SystemWindowBrush() {
  static GdiObject* brush = SystemBrush(RGB(255, 255, 255));
  return reinterpret_cast<HBRUSH>(brush);
}

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

QPainter* ActivePainter(HWND hwnd) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto it = Painters().find(hwnd);
  return it == Painters().end() ? nullptr : it->second;
}

void SetActivePainter(HWND hwnd, QPainter* painter) {
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  if (painter) Painters()[hwnd] = painter;
  else Painters().erase(hwnd);
}

// The stock icons, and the icon of a program built without a resource
// script: drawn.
GdiObject* IconObject(uintptr_t id) {
  static std::map<uintptr_t, GdiObject*> icons;
  static std::mutex mutex;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = icons.find(id);
  if (it != icons.end()) return it->second;
  GdiObject o;
  o.type = GdiObject::Icon;
  o.stock = true;
  o.image = QImage(32, 32, QImage::Format_ARGB32);
  o.image.fill(Qt::transparent);
  QPainter p(&o.image);
  p.setRenderHint(QPainter::Antialiasing);
  QColor color = id == 32513 ? QColor(200, 30, 30) : id == 32515 ? QColor(230, 180, 0) : QColor(30, 90, 180);
  p.setBrush(color);
  p.setPen(Qt::NoPen);
  p.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
  p.end();
  GdiObject* object = NewGdiObject(o);
  icons[id] = object;
  return object;
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

extern "C" {

int WINAPI GetDeviceCaps(HDC hdc, int index) {
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return ScreenDpi();
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return 32;
    default: return 0;
  }
}

HDC WINAPI CreateCompatibleDC(HDC hdc) {
  HDC memory = NewDeviceContext(nullptr, nullptr);
  LookupDC(memory)->memory = true;
  return memory;
}

BOOL WINAPI DeleteDC(HDC hdc) {
  if (!LookupDC(hdc)) return FALSE;
  FreeDeviceContext(hdc);
  return TRUE;
}

HGDIOBJ WINAPI GetStockObject(int i) { return StockObject(i); }

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = LookupDC(hdc);
  GdiObject* o = LookupGdiObject(h);
  if (!dc || !o) return nullptr;
  HGDIOBJ old = nullptr;
  if (o->type == GdiObject::Font) {
    old = dc->font ? dc->font : GetStockObject(SYSTEM_FONT);
    dc->font = h;
    if (dc->painter) dc->painter->setFont(MakeQFont(static_cast<HFONT>(h)));
  } else if (o->type == GdiObject::Brush) {
    old = dc->brush ? dc->brush : GetStockObject(WHITE_BRUSH);
    dc->brush = h;
  }
  return old;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) { return FreeGdiObject(ho) ? TRUE : FALSE; }

int WINAPI GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
  GdiObject* o = LookupGdiObject(h);
  if (!o) return 0;
  if (o->type == GdiObject::Font) {
    if (!pv) return sizeof(LOGFONTA);
    int n = std::min<int>(c, sizeof(LOGFONTA));
    std::memcpy(pv, &o->font, static_cast<size_t>(n));
    return n;
  }
  if (o->type == GdiObject::Brush) {
    if (!pv) return sizeof(LOGBRUSH);
    LOGBRUSH lb{static_cast<UINT>(o->hollow ? BS_NULL : BS_SOLID), o->color, 0};
    int n = std::min<int>(c, sizeof(LOGBRUSH));
    std::memcpy(pv, &lb, static_cast<size_t>(n));
    return n;
  }
  return 0;
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  GdiObject o;
  o.type = GdiObject::Brush;
  o.color = color & 0xFFFFFF;
  return static_cast<HBRUSH>(static_cast<void*>(NewGdiObject(o)));
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = dc->bkMode;
  dc->bkMode = mode;
  return old;
}

int WINAPI GetBkMode(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->bkMode : 0;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->textColor;
  dc->textColor = color & 0xFFFFFF;
  return old;
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->textColor : CLR_INVALID;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->bkColor;
  dc->bkColor = color & 0xFFFFFF;
  return old;
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->bkColor : CLR_INVALID;
}

BOOL WINAPI GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !lptm) return FALSE;
  LOGFONTA lf{};
  if (!dc->font || !GetLogFont(static_cast<HFONT>(dc->font), &lf)) GetLogFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)), &lf);
  std::u16string face = ToQString(lf.lfFaceName).toStdU16String();
  const FontMetricsRow& m = FaceMetrics(face);
  int em = lf.lfHeight < 0 ? -lf.lfHeight : static_cast<int>(std::lround(lf.lfHeight / (m.ascent + m.descent)));
  *lptm = TEXTMETRICA{};
  lptm->tmAscent = static_cast<LONG>(std::lround(em * m.ascent));
  lptm->tmDescent = static_cast<LONG>(std::lround(em * m.descent));
  lptm->tmHeight = lptm->tmAscent + lptm->tmDescent;
  lptm->tmInternalLeading = lptm->tmHeight - em;
  lptm->tmAveCharWidth = (static_cast<int>(em * m.letters) / 26 + 1) / 2;
  lptm->tmMaxCharWidth = em;
  lptm->tmWeight = lf.lfWeight;
  return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc || !lpString) return FALSE;
  if (!dc->painter) return TRUE;
  QString text = ToQString(std::string(lpString, static_cast<size_t>(c < 0 ? 0 : c)));
  EnsureHostFontConfig();
  QFontMetrics fm(dc->painter->font());
  if (dc->bkMode == OPAQUE) dc->painter->fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ToQColor(dc->bkColor));
  dc->painter->setPen(ToQColor(dc->textColor));
  dc->painter->drawText(x, y + fm.ascent(), text);
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  HDC hdc = NewDeviceContext(ActivePainter(hWnd), hWnd);
  if (lpPaint) {
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    GetClientRect(hWnd, &lpPaint->rcPaint);
  }
  return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
  if (lpPaint) FreeDeviceContext(lpPaint->hdc);
  return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) { return NewDeviceContext(hWnd ? ActivePainter(hWnd) : nullptr, hWnd); }

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
  if (!LookupDC(hDC)) return 0;
  FreeDeviceContext(hDC);
  return 1;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
  DeviceContext* dc = LookupDC(hDC);
  if (!dc || !lprc) return 0;
  COLORREF color;
  if (dc->painter && BrushColor(hbr, &color))
    dc->painter->fillRect(QRect(lprc->left, lprc->top, lprc->right - lprc->left, lprc->bottom - lprc->top), ToQColor(color));
  return 1;
}

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  if (hInstance) {
    DWORD error = 0;
    if (GdiObject* icon = ModuleIcon(hInstance, lpIconName, &error)) return reinterpret_cast<HICON>(icon);
    // A module with resources answers as Windows does; one without any is
    // a program built without its resource script, which keeps the drawn
    // icon below.
    if (error != ERROR_RESOURCE_DATA_NOT_FOUND) {
      SetLastError(error);
      return nullptr;
    }
  }
  if (!IS_INTRESOURCE(lpIconName)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HICON>(IconObject(reinterpret_cast<uintptr_t>(lpIconName)));
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
  if (IS_INTRESOURCE(lpIconName)) return LoadIconA(hInstance, reinterpret_cast<LPCSTR>(lpIconName));
  return LoadIconA(hInstance, winsim::Utf16ToAnsi(lpIconName).c_str());
}

BOOL WINAPI DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
  DeviceContext* dc = LookupDC(hDC);
  GdiObject* icon = LookupGdiObject(hIcon);
  if (!dc || !icon || icon->type != GdiObject::Icon) return FALSE;
  int size = GetSystemMetrics(SM_CXICON);
  if (dc->painter) dc->painter->drawImage(QRect(X, Y, size, size), icon->image);
  return TRUE;
}

BOOL WINAPI DestroyIcon(HICON hIcon) { return LookupGdiObject(hIcon) ? TRUE : FALSE; }

}  // extern "C"
