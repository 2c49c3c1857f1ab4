// GDI+: start-up and shutdown, bitmaps loaded from files and drawn on a
// window. The flat functions carry GDI+'s names and status codes; the
// classes of namespace Gdiplus are thin owners over them, as in the SDK.
#pragma once
#include "windows.h"
#include "wingdi.h"

namespace Gdiplus {

enum Status {
  Ok = 0,
  GenericError = 1,
  InvalidParameter = 2,
  OutOfMemory = 3,
  ObjectBusy = 4,
  InsufficientBuffer = 5,
  NotImplemented = 6,
  Win32Error = 7,
  WrongState = 8,
  Aborted = 9,
  FileNotFound = 10,
  ValueOverflow = 11,
  AccessDenied = 12,
  UnknownImageFormat = 13,
  FontFamilyNotFound = 14,
  FontStyleNotFound = 15,
  NotTrueTypeFont = 16,
  UnsupportedGdiplusVersion = 17,
  GdiplusNotInitialized = 18,
  PropertyNotFound = 19,
  PropertyNotSupported = 20,
};

typedef float REAL;
typedef void(WINAPI* DebugEventProc)(int level, CHAR* message);
typedef Status(WINAPI* NotificationHookProc)(ULONG_PTR* token);
typedef void(WINAPI* NotificationUnhookProc)(ULONG_PTR token);

struct GdiplusStartupInput {
  UINT32 GdiplusVersion;
  DebugEventProc DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
  GdiplusStartupInput(DebugEventProc debugEventCallback = nullptr, BOOL suppressBackgroundThread = FALSE,
                      BOOL suppressExternalCodecs = FALSE)
      : GdiplusVersion(1),
        DebugEventCallback(debugEventCallback),
        SuppressBackgroundThread(suppressBackgroundThread),
        SuppressExternalCodecs(suppressExternalCodecs) {}
};

struct GdiplusStartupOutput {
  NotificationHookProc NotificationHook;
  NotificationUnhookProc NotificationUnhook;
};

// Opaque native objects of the flat interface.
class GpImage;
class GpBitmap;
class GpGraphics;

typedef Status GpStatus;

}  // namespace Gdiplus

using Gdiplus::GpStatus;
using Gdiplus::GpBitmap;
using Gdiplus::GpGraphics;
using Gdiplus::GpImage;

namespace Gdiplus {
extern "C" {
Status WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
}
}  // namespace Gdiplus
using Gdiplus::GdiplusShutdown;
using Gdiplus::GdiplusStartup;

extern "C" {

GpStatus WINAPI GdipCreateBitmapFromFile(const WCHAR* filename, GpBitmap** bitmap);
GpStatus WINAPI GdipCreateBitmapFromFileICM(const WCHAR* filename, GpBitmap** bitmap);
GpStatus WINAPI GdipGetImageWidth(GpImage* image, UINT* width);
GpStatus WINAPI GdipGetImageHeight(GpImage* image, UINT* height);
GpStatus WINAPI GdipDisposeImage(GpImage* image);
GpStatus WINAPI GdipCreateFromHWND(HWND hwnd, GpGraphics** graphics);
GpStatus WINAPI GdipCreateFromHDC(HDC hdc, GpGraphics** graphics);
GpStatus WINAPI GdipDeleteGraphics(GpGraphics* graphics);
GpStatus WINAPI GdipDrawImageI(GpGraphics* graphics, GpImage* image, INT x, INT y);
GpStatus WINAPI GdipDrawImageRectI(GpGraphics* graphics, GpImage* image, INT x, INT y, INT width, INT height);
}

// The flat interface as the SDK places it.
namespace Gdiplus {
namespace DllExports {
using ::GdipCreateBitmapFromFile;
using ::GdipCreateBitmapFromFileICM;
using ::GdipCreateFromHDC;
using ::GdipCreateFromHWND;
using ::GdipDeleteGraphics;
using ::GdipDisposeImage;
using ::GdipDrawImageI;
using ::GdipDrawImageRectI;
using ::GdipGetImageHeight;
using ::GdipGetImageWidth;
}  // namespace DllExports
}  // namespace Gdiplus

namespace Gdiplus {

// Status of the last call is kept in the object, as the SDK classes do.
class Image {
 public:
  virtual ~Image() { GdipDisposeImage(nativeImage); }
  UINT GetWidth() {
    UINT width = 0;
    SetStatus(GdipGetImageWidth(nativeImage, &width));
    return width;
  }
  UINT GetHeight() {
    UINT height = 0;
    SetStatus(GdipGetImageHeight(nativeImage, &height));
    return height;
  }
  Status GetLastStatus() const {
    Status last = lastResult;
    lastResult = Ok;
    return last;
  }
  static Image* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE);

  Image(const Image&) = delete;
  Image& operator=(const Image&) = delete;

 protected:
  Image() = default;
  Image(GpImage* image, Status status) : nativeImage(image), lastResult(status) {}
  Status SetStatus(Status status) const {
    if (status != Ok) lastResult = status;
    return status;
  }
  GpImage* nativeImage = nullptr;
  mutable Status lastResult = Ok;
  friend class Graphics;
};

class Bitmap : public Image {
 public:
  explicit Bitmap(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE) {
    GpBitmap* bitmap = nullptr;
    lastResult = useEmbeddedColorManagement ? GdipCreateBitmapFromFileICM(filename, &bitmap)
                                            : GdipCreateBitmapFromFile(filename, &bitmap);
    nativeImage = reinterpret_cast<GpImage*>(bitmap);
  }
  static Bitmap* FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement = FALSE) {
    return new Bitmap(filename, useEmbeddedColorManagement);
  }
};

inline Image* Image::FromFile(const WCHAR* filename, BOOL useEmbeddedColorManagement) {
  return new Bitmap(filename, useEmbeddedColorManagement);
}

class Graphics {
 public:
  explicit Graphics(HWND hwnd, BOOL icm = FALSE) { lastResult = GdipCreateFromHWND(hwnd, &nativeGraphics); }
  explicit Graphics(HDC hdc) { lastResult = GdipCreateFromHDC(hdc, &nativeGraphics); }
  ~Graphics() { GdipDeleteGraphics(nativeGraphics); }
  static Graphics* FromHWND(HWND hwnd, BOOL icm = FALSE) { return new Graphics(hwnd, icm); }
  static Graphics* FromHDC(HDC hdc) { return new Graphics(hdc); }

  Status DrawImage(Image* image, INT x, INT y) {
    return SetStatus(GdipDrawImageI(nativeGraphics, image ? image->nativeImage : nullptr, x, y));
  }
  Status DrawImage(Image* image, INT x, INT y, INT width, INT height) {
    return SetStatus(
        GdipDrawImageRectI(nativeGraphics, image ? image->nativeImage : nullptr, x, y, width, height));
  }
  Status GetLastStatus() const {
    Status last = lastResult;
    lastResult = Ok;
    return last;
  }

  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

 private:
  Status SetStatus(Status status) const {
    if (status != Ok) lastResult = status;
    return status;
  }
  GpGraphics* nativeGraphics = nullptr;
  mutable Status lastResult = Ok;
};

}  // namespace Gdiplus
