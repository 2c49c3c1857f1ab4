// Page artwork: pictures loaded once per page from PNG files named by the
// run mode and the screen density, drawn at their own pixel size.
#pragma once
#include "afxwin.h"
#include "gdiplus.h"

// The pictures are drawn with the flat interface of GDI+.
using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// An owned GDI+ bitmap. A missing or undecodable file still gives an
// object: null handle, error status, zero size, and drawing does nothing.
class CArtworkImage {
 public:
  explicit CArtworkImage(LPCSTR pszPath);
  ~CArtworkImage();
  UINT GetWidth();
  UINT GetHeight();
  void Draw(GpGraphics* pGraphics, int x, int y);

  GpBitmap* m_pNativeImage = nullptr;
  GpStatus m_lastStatus = Gdiplus::Ok;

  CArtworkImage(const CArtworkImage&) = delete;
  CArtworkImage& operator=(const CArtworkImage&) = delete;
};

namespace artwork {

// The file name of one picture: folder prefix, base, the density part
// ("_DPI_120" for banners only, "_DPI_144", "_DPI_192", nothing at 96) and
// "_kor.png". At any other density the name is the prefix and "_kor.png",
// which names no file.
CString FileName(LPCSTR pszFolderPrefix, LPCSTR pszBase, int nDpi, bool bBanner);

// Reads the language key of the mode's configuration file; the pictures are
// the Korean set whatever it says.
CString ReadLanguage(LPCSTR pszConfigPath);

// Right margin of the header layout's banner: 4 at 96, 5 at 120, 6 at 144
// and 192, 4 at any other density.
int HeaderMargin(int nDpi);

// Side-by-side layout (welcome and finish pages): banner at (1, 1), the
// page image right of it.
void DrawSideBySide(CWnd* pPage, CArtworkImage* pBanner, CArtworkImage* pPageImage);

// Releases a picture and clears its pointer.
void Release(CArtworkImage*& pImage);

}  // namespace artwork
