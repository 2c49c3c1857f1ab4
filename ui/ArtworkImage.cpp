#include "ArtworkImage.h"

#include <vector>

#include "SetupConfig.h"

CArtworkImage::CArtworkImage(LPCSTR pszPath) {
  const int nChars = MultiByteToWideChar(CP_THREAD_ACP, 0, pszPath, -1, nullptr, 0);
  std::vector<WCHAR> wszPath(static_cast<size_t>(nChars > 0 ? nChars : 1), 0);
  if (nChars > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, pszPath, -1, wszPath.data(), nChars);
  m_lastStatus = GdipCreateBitmapFromFile(wszPath.data(), &m_pNativeImage);
  if (m_lastStatus != Gdiplus::Ok) m_pNativeImage = nullptr;
}

CArtworkImage::~CArtworkImage() {
  if (m_pNativeImage) GdipDisposeImage(reinterpret_cast<GpImage*>(m_pNativeImage));
}

UINT CArtworkImage::GetWidth() {
  UINT nWidth = 0;
  if (!m_pNativeImage) return 0;
  m_lastStatus = GdipGetImageWidth(reinterpret_cast<GpImage*>(m_pNativeImage), &nWidth);
  return nWidth;
}

UINT CArtworkImage::GetHeight() {
  UINT nHeight = 0;
  if (!m_pNativeImage) return 0;
  m_lastStatus = GdipGetImageHeight(reinterpret_cast<GpImage*>(m_pNativeImage), &nHeight);
  return nHeight;
}

void CArtworkImage::Draw(GpGraphics* pGraphics, int x, int y) {
  if (!m_pNativeImage || !pGraphics) return;
  const UINT nHeight = GetHeight();
  const UINT nWidth = GetWidth();
  GdipDrawImageRectI(pGraphics, reinterpret_cast<GpImage*>(m_pNativeImage), x, y, static_cast<INT>(nWidth),
                     static_cast<INT>(nHeight));
}

namespace artwork {

CString FileName(LPCSTR pszFolderPrefix, LPCSTR pszBase, int nDpi, bool bBanner) {
  CString strName = pszFolderPrefix;
  switch (nDpi) {
    case 96:
      strName += pszBase;
      break;
    case 120:
      strName += pszBase;
      if (bBanner) strName += "_DPI_120";  // page images have no 120 variant
      break;
    case 144:
      strName += pszBase;
      strName += "_DPI_144";
      break;
    case 192:
      strName += pszBase;
      strName += "_DPI_192";
      break;
    default:
      break;  // no picture at other densities
  }
  CString strLanguage = "Korean";
  strName += strLanguage.Left(6) == "Korean" ? "_kor.png" : "_eng.png";
  return strName;
}

CString ReadLanguage(LPCSTR pszConfigPath) {
  setup::ReadConfigValue("Root", "CheckInstallLangue", 32, pszConfigPath);
  return "Korean";
}

int HeaderMargin(int nDpi) {
  switch (nDpi) {
    case 120: return 5;
    case 144:
    case 192: return 6;
    default: return 4;
  }
}

void DrawSideBySide(CWnd* pPage, CArtworkImage* pBanner, CArtworkImage* pPageImage) {
  CPaintDC dc(pPage);
  GpGraphics* pGraphics = nullptr;
  GdipCreateFromHWND(pPage->GetSafeHwnd(), &pGraphics);
  int nNextX = 1;
  if (pBanner) {
    const UINT nHeight = pBanner->GetHeight();
    const UINT nWidth = pBanner->GetWidth();
    (void)nHeight;
    pBanner->Draw(pGraphics, 1, 1);
    nNextX = static_cast<int>(nWidth) + 1;
  }
  if (pPageImage) pPageImage->Draw(pGraphics, nNextX, 1);
  if (pGraphics) GdipDeleteGraphics(pGraphics);
}

void Release(CArtworkImage*& pImage) {
  delete pImage;
  pImage = nullptr;
}

}  // namespace artwork
