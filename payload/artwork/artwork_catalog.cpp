#include "artwork_catalog.h"

#include <cmath>

namespace artwork {
namespace {

QString T(const char* utf8) { return QString::fromUtf8(utf8); }

// Sizes follow the page layouts at 96 DPI: a page is about 515x318 pixels,
// framed by an etched line 513x293 pixels from its corner.
// Side-by-side pages: banner at (1,1), page image right of it; together
// they fill the inside of the frame (510x290 from (1,1)) and, scaled, stay
// inside it at every density, so the frame crosses nothing.
// Header pages: banner right-aligned in the 58-pixel header, title block at
// (5,5) on its left, the lower panel under the separator.
constexpr QSize kSideBanner{160, 290};
constexpr QSize kSidePage{349, 290};
constexpr QSize kHeaderBanner{195, 55};
constexpr QSize kHeaderText{300, 48};
constexpr QSize kLowerPanel{500, 120};

std::vector<Picture> MakeCatalog() {
  const QString continueHint = T("계속하려면 [다음]을 누르십시오.");
  const QString finishHint = T("[마침]을 누르면 설치 프로그램이 닫힙니다.");
  return {
      {"vtxSet", Layout::SideBanner, kSideBanner, Tone::Install, T("Veltrane"),
       {T("RAZ Plug-In"), T("무선 네트워크 인증")}, {}, T("Bramble Cast"), Mark::Wireless},
      {"vtxSetUP", Layout::HeaderBanner, kHeaderBanner, Tone::Install, T("Veltrane RAZ"),
       {T("Plug-In 설치")}, {}, {}, Mark::Wireless},
      {"vtxUnUP", Layout::HeaderBanner, kHeaderBanner, Tone::Uninstall, T("Veltrane RAZ"),
       {T("Plug-In 제거")}, {}, {}, Mark::Wireless},

      {"Set1-1", Layout::SidePage, kSidePage, Tone::Install, T("Veltrane RAZ 설치를 시작합니다"),
       {T("이 마법사는 Veltrane RAZ Plug-In을 컴퓨터에 설치합니다."),
        T("무선 네트워크 인증 모듈과 인증서, 기관에서 지정한 무선 프로필이 함께 설치됩니다."),
        T("설치를 시작하기 전에 실행 중인 다른 프로그램을 모두 닫는 것이 좋습니다.")},
       {}, continueHint, Mark::Wireless},
      {"Set2-1", Layout::HeaderText, kHeaderText, Tone::Install, T("사용권 계약"),
       {T("다음 사용권 계약을 주의 깊게 읽어 주십시오.")}, {}, {}, Mark::None},
      {"Set4-1", Layout::HeaderText, kHeaderText, Tone::Install, T("설치 상태"),
       {T("Veltrane RAZ Plug-In을 설치하고 있습니다.")}, {}, {}, Mark::None},
      {"Set4-2", Layout::LowerPanel, kLowerPanel, Tone::Install, T("설치 중입니다..."),
       {T("잠시 기다려 주십시오. 설치가 끝나면 다음 화면으로 자동으로 넘어갑니다.")},
       {T("파일 복사"), T("레지스트리 등록"), T("무선 프로필 설정")},
       T("설치하는 동안 컴퓨터를 끄거나 네트워크 설정을 바꾸지 마십시오."), Mark::None},
      {"Set5-1", Layout::SidePage, kSidePage, Tone::Install, T("설치 완료"),
       {T("Veltrane RAZ 설치프로그램이 RAZ 프로그램을 성공적으로 설치 완료하였습니다."),
        T("이제 무선 네트워크에 연결하여 인증을 받을 수 있습니다.")},
       {}, finishHint, Mark::Done},

      {"Un1-1", Layout::SidePage, kSidePage, Tone::Uninstall, T("Veltrane RAZ 제거를 시작합니다"),
       {T("이 마법사는 컴퓨터에서 Veltrane RAZ Plug-In을 제거합니다."),
        T("인증 모듈과 인증서, 무선 프로필이 함께 삭제되며 회사 또는 학교 네트워크 접속이 제한될 수 "
          "있습니다.")},
       {}, continueHint, Mark::Wireless},
      {"Un2-1", Layout::HeaderText, kHeaderText, Tone::Uninstall, T("제거 상태"),
       {T("Veltrane RAZ Plug-In을 제거하고 있습니다.")}, {}, {}, Mark::None},
      {"Un2-2", Layout::LowerPanel, kLowerPanel, Tone::Uninstall, T("제거 중입니다..."),
       {T("잠시 기다려 주십시오. 제거가 끝나면 다음 화면으로 자동으로 넘어갑니다.")},
       {T("파일 삭제"), T("레지스트리 정리"), T("무선 프로필 제거")},
       T("제거하는 동안 컴퓨터를 끄지 마십시오."), Mark::None},
      {"Un3-1", Layout::SidePage, kSidePage, Tone::Uninstall, T("제거 완료"),
       {T("Veltrane RAZ 설치프로그램이 RAZ 프로그램을 성공적으로 제거 완료하였습니다."),
        T("무선 네트워크 인증을 다시 사용하려면 Veltrane RAZ를 다시 설치하십시오.")},
       {}, T("[마침]을 누르면 프로그램이 닫힙니다."), Mark::Done},
      {"Un4-1", Layout::SidePage, kSidePage, Tone::Reverted, T("설치 취소 완료"),
       {T("설치 중 문제가 발생하여 설치를 취소하였습니다."),
        T("바뀐 파일과 설정을 모두 되돌려 설치 전 상태로 복구하였습니다."),
        T("자세한 내용은 설치 기록(VelGTCInstall.log)을 확인하십시오.")},
       {}, finishHint, Mark::Undo},
  };
}

}  // namespace

const std::vector<Picture>& Catalog() {
  static const std::vector<Picture> catalog = MakeCatalog();
  return catalog;
}

const std::vector<Density>& Densities() {
  static const std::vector<Density> densities = {
      {"", 1.0}, {"_DPI_120", 1.25}, {"_DPI_144", 1.5}, {"_DPI_192", 2.0}};
  return densities;
}

bool IsBanner(const Picture& p) { return p.layout == Layout::SideBanner || p.layout == Layout::HeaderBanner; }

bool HasDensity(const Picture& p, const Density& d) { return IsBanner(p) || d.scale != 1.25; }

QString FileName(const Picture& p, const Density& d) {
  return p.base + QString::fromLatin1(d.suffix) + QStringLiteral("_kor.png");
}

QSize PixelSize(const Picture& p, const Density& d) {
  return QSize(static_cast<int>(std::lround(p.size.width() * d.scale)),
               static_cast<int>(std::lround(p.size.height() * d.scale)));
}

}  // namespace artwork
