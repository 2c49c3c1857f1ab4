#include "window_shot.h"

namespace driver {
namespace {

// A 32-bit top-down DIB section of the given size, selected into a memory
// DC; everything is released by the destructor.
class Canvas {
 public:
  Canvas(int width, int height) : m_width(width), m_height(height) {
    m_screen = GetDC(nullptr);
    m_dc = CreateCompatibleDC(m_screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
    if (m_bitmap) m_old = SelectObject(m_dc, m_bitmap);
  }
  ~Canvas() {
    if (m_old) SelectObject(m_dc, m_old);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
    if (m_screen) ReleaseDC(nullptr, m_screen);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Ready() const { return m_bits != nullptr; }
  HDC Dc() const { return m_dc; }
  HDC Screen() const { return m_screen; }

  Image Pixels() const {
    GdiFlush();
    Image image;
    image.width = m_width;
    image.height = m_height;
    image.rgb.resize(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 3);
    const size_t count = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    for (size_t i = 0; i < count; ++i) {  // BGRX to RGB
      image.rgb[i * 3] = m_bits[i * 4 + 2];
      image.rgb[i * 3 + 1] = m_bits[i * 4 + 1];
      image.rgb[i * 3 + 2] = m_bits[i * 4];
    }
    return image;
  }

 private:
  int m_width, m_height;
  HDC m_screen = nullptr;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_old = nullptr;
  unsigned char* m_bits = nullptr;
};

BOOL CALLBACK NotePendingPaint(HWND hwnd, LPARAM pending) {
  if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, nullptr, FALSE)) *reinterpret_cast<bool*>(pending) = true;
  return TRUE;
}

// Waits (at most `ms`) until neither the window nor any of its children
// has a region left to paint: a control changed by the step before (a
// radio button checked, a button enabled) is repainted only when its
// thread's queue runs empty. The WM_NULL round trip also lets a paint
// under way finish, as the update region is emptied when painting starts.
void WaitUntilPainted(HWND top, DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result);
    bool pending = GetUpdateRect(top, nullptr, FALSE) != FALSE;
    EnumChildWindows(top, NotePendingPaint, reinterpret_cast<LPARAM>(&pending));
    if (!pending) return;
    Sleep(20);
  } while (GetTickCount64() < end);
}

}  // namespace

bool CaptureWindow(HWND hwnd, Image* image, std::string* method) {
  WaitUntilPainted(hwnd, 2000);
  RECT r{};
  if (!GetWindowRect(hwnd, &r) || r.right <= r.left || r.bottom <= r.top) return false;
  const int width = r.right - r.left, height = r.bottom - r.top;
  {
    Canvas canvas(width, height);
    if (!canvas.Ready()) return false;
    if (PrintWindow(hwnd, canvas.Dc(), 0)) {
      *image = canvas.Pixels();
      if (!IsUniform(*image)) {
        *method = "PrintWindow";
        return true;
      }
    }
  }
  Canvas canvas(width, height);
  if (!canvas.Ready() || !BitBlt(canvas.Dc(), 0, 0, width, height, canvas.Screen(), r.left, r.top, SRCCOPY | CAPTUREBLT))
    return false;
  *image = canvas.Pixels();
  *method = "screen";
  return !IsUniform(*image);
}

}  // namespace driver
