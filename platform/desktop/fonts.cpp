// Fonts: CreateFontA, their descriptions, and the toolkit font that draws
// them. Windows faces map to installed faces through a substitution table;
// Korean glyphs always fall back to NanumGothic.
//
// The Windows faces are not on the machine, and the faces drawn instead are
// taller for their em (NanumGothic's ascent plus descent is about 1.15 em,
// Gulim's 1.0). Dialog units and text metrics follow the requested face, so
// the substitute is drawn at the largest pixel size at which the ascent plus
// descent of every face that may draw the text fits the cell height Windows
// gives the requested face: a label sized for one line of that face holds
// one line of the substitute.
//
//   Windows face                                   drawn with
//   굴림, 굴림체, 돋움, 돋움체, 바탕, Gulim, Dotum,     NanumGothic
//   Batang, Malgun Gothic, 맑은 고딕
//   MS Shell Dlg, MS Shell Dlg 2, Tahoma,           DejaVu Sans
//   MS Sans Serif, Microsoft Sans Serif, Segoe UI,
//   Arial, Verdana, System, and any other face
//   Courier, Courier New, Fixedsys, Terminal        DejaVu Sans Mono
#include <QFont>
#include <QFontMetricsF>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "desktop_internal.h"
#include "gdi_objects.h"
#include "host_font_config.h"
#include "winsim/codepage.h"
#include "winsim/machine.h"

namespace winsim::desktop {
namespace {

struct Substitute {
  const char16_t* windowsFace;
  const char* hostFace;
};

const Substitute kSubstitutes[] = {
    {u"\uAD74\uB9BC", "NanumGothic"},              // 굴림
    {u"\uAD74\uB9BC\uCCB4", "NanumGothicCoding"},  // 굴림체
    {u"\uB3CB\uC6C0", "NanumGothic"},              // 돋움
    {u"\uB3CB\uC6C0\uCCB4", "NanumGothicCoding"},  // 돋움체
    {u"\uBC14\uD0D5", "NanumMyeongjo"},            // 바탕
    {u"\uB9D1\uC740 \uACE0\uB515", "NanumGothic"}, // 맑은 고딕
    {u"Gulim", "NanumGothic"},
    {u"Dotum", "NanumGothic"},
    {u"Batang", "NanumMyeongjo"},
    {u"Malgun Gothic", "NanumGothic"},
    {u"Courier", "DejaVu Sans Mono"},
    {u"Courier New", "DejaVu Sans Mono"},
    {u"Fixedsys", "DejaVu Sans Mono"},
    {u"Terminal", "DejaVu Sans Mono"},
};

QString HostFace(const std::u16string& face) {
  for (const Substitute& s : kSubstitutes) {
    if (winsim::EqualsNoCase(face, s.windowsFace)) return QString::fromLatin1(s.hostFace);
  }
  return QStringLiteral("DejaVu Sans");
}

// Ascent plus descent per em of a host face at a weight, measured once at a
// large size (the font system is used on the user-interface thread only).
double CellPerEm(const QString& family, int weight) {
  static std::map<std::pair<QString, int>, double> measured;
  const auto key = std::make_pair(family, weight);
  auto found = measured.find(key);
  if (found != measured.end()) return found->second;
  EnsureHostFontConfig();
  QFont probe(family);
  probe.setPixelSize(200);
  probe.setWeight(static_cast<QFont::Weight>(weight));
  const QFontMetricsF metrics(probe);
  const double perEm = (metrics.ascent() + metrics.descent()) / 200.0;
  measured.emplace(key, perEm);
  return perEm;
}

// The pixel size at which every face of `families` fits `cell` pixels of
// ascent plus descent; never above `em`.
int FittingPixelSize(const QStringList& families, int weight, int em, int cell) {
  double tallest = 0;
  for (const QString& family : families) tallest = std::max(tallest, CellPerEm(family, weight));
  if (tallest <= 0) return em;
  int size = em;
  while (size > 1 && std::ceil(size * tallest) > cell) --size;
  return size;
}

}  // namespace

int ScreenDpi() { return winsim::Config().dpi; }

QFont MakeQFont(HFONT handle) {
  GdiObject* object = LookupGdiObject(handle);
  if (!object || object->type != GdiObject::Font) return QFont();
  return MakeQFont(object->font);
}

QFont MakeQFont(const LOGFONTA& lf) {
  EnsureHostFontConfig();
  QFont font;
  std::u16string face = ToQString(std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE))).toStdU16String();
  const FontMetricsRow& metrics = FaceMetrics(face);
  int em;
  if (lf.lfHeight < 0) em = -lf.lfHeight;  // character height
  else if (lf.lfHeight > 0) em = static_cast<int>(std::lround(lf.lfHeight / (metrics.ascent + metrics.descent)));  // cell height
  else em = MulDivInt(12, ScreenDpi(), 96);
  em = std::max(em, 1);
  // The cell Windows gives the requested face (as GetTextMetricsA reports it).
  const int cell = lf.lfHeight > 0 ? static_cast<int>(lf.lfHeight)
                                   : static_cast<int>(std::lround(em * metrics.ascent)) +
                                         static_cast<int>(std::lround(em * metrics.descent));
  const QStringList families = {HostFace(face), QStringLiteral("NanumGothic"), QStringLiteral("DejaVu Sans")};
  font.setFamilies(families);
  int weight = lf.lfWeight == 0 ? FW_NORMAL : std::clamp(static_cast<int>(lf.lfWeight), 100, 900);
  font.setPixelSize(FittingPixelSize(families, weight, em, std::max(cell, 1)));
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

bool GetLogFont(HFONT handle, LOGFONTA* out) {
  GdiObject* object = LookupGdiObject(handle);
  if (!object || object->type != GdiObject::Font) return false;
  *out = object->font;
  return true;
}

HFONT CreateFontForDialog(const std::string& face, int pointSize, int dpi) {
  return CreateFontA(-MulDivInt(pointSize, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str());
}

}  // namespace winsim::desktop

using namespace winsim::desktop;

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject object;
  object.type = GdiObject::Font;
  object.font = *lplf;
  object.font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(static_cast<void*>(NewGdiObject(object)));
}

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                         DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = static_cast<BYTE>(bItalic);
  lf.lfUnderline = static_cast<BYTE>(bUnderline);
  lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(iCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  lf.lfQuality = static_cast<BYTE>(iQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName) lstrcpynA(lf.lfFaceName, pszFaceName, LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}

}  // extern "C"
