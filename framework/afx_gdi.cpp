// GDI objects and device contexts of the framework, and the temporary
// objects that FromHandle hands out for handles it does not own.
#include <map>
#include <memory>
#include <mutex>

#include "afx_gdi_temporaries.h"
#include "afxcmn.h"

IMPLEMENT_DYNAMIC(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)

namespace {

std::recursive_mutex g_mutex;

template <class T, class H>
T* Temporary(H handle) {
  // Never destroyed: a temporary must not delete its handle at exit.
  static auto* objects = new std::map<H, std::unique_ptr<T>>;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto& slot = (*objects)[handle];
  if (!slot) slot = std::make_unique<T>();
  return slot.get();
}

std::map<HDC, std::unique_ptr<CDC>>& TemporaryDCs() {
  static auto* dcs = new std::map<HDC, std::unique_ptr<CDC>>;
  return *dcs;
}

}  // namespace

namespace afx {

// A device context that is released takes its temporary framework object
// along (a later context may get the same handle).
void ForgetTemporaryDC(HDC hdc) {
  std::unique_ptr<CDC> gone;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto it = TemporaryDCs().find(hdc);
  if (it == TemporaryDCs().end()) return;
  gone = std::move(it->second);
  TemporaryDCs().erase(it);
  gone->m_hDC = nullptr;
}

}  // namespace afx

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject) return FALSE;
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ old = m_hObject;
  m_hObject = nullptr;
  return old;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

CFont* PASCAL CFont::FromHandle(HFONT hFont) {
  if (!hFont) return nullptr;
  CFont* font = Temporary<CFont>(hFont);
  font->m_hObject = hFont;
  return font;
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, LPCSTR lpszFacename) {
  return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                              nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) { return Attach(::CreateFontIndirectA(lpLogFont)); }

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
  LOGFONTA lf{};
  HDC screen = ::GetDC(nullptr);
  int dpi = ::GetDeviceCaps(pDC ? pDC->m_hAttribDC : screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  lf.lfHeight = -::MulDiv(nPointSize, dpi, 720);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  if (lpszFaceName) lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  return CreateFontIndirect(&lf);
}

CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush) {
  if (!hBrush) return nullptr;
  CBrush* brush = Temporary<CBrush>(hBrush);
  brush->m_hObject = hBrush;
  return brush;
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }

CDC::~CDC() {}

CDC* PASCAL CDC::FromHandle(HDC hDC) {
  if (!hDC) return nullptr;
  std::lock_guard<std::recursive_mutex> lock(g_mutex);
  auto& slot = TemporaryDCs()[hDC];
  if (!slot) {
    slot = std::make_unique<CDC>();
    slot->m_hDC = slot->m_hAttribDC = hDC;
  }
  return slot.get();
}

BOOL CDC::Attach(HDC hDC) {
  if (!hDC) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC old = m_hDC;
  m_hDC = m_hAttribDC = nullptr;
  return old;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr)); }

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
  HGDIOBJ old = ::SelectObject(m_hDC, ::GetStockObject(nIndex));
  CGdiObject* object = Temporary<CGdiObject>(old);
  object->m_hObject = old;
  return object;
}

CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont ? pFont->m_hObject : nullptr)));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  HBRUSH brush = ::CreateSolidBrush(clr);
  ::FillRect(m_hDC, lpRect, brush);
  ::DeleteObject(brush);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, clr);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { Attach(::BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }
