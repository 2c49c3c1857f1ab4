// The shipped page artwork against the pages the window manager lays out
// at each density: the side-by-side pictures (banner at (1,1), page image
// right of it) lie inside the page's etched frame, whose lines would
// otherwise cross them, and fill most of it. The sizes are read from the
// PNG headers.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "desktop_internal.h"
#include "machine_fixture.h"
#include "resource.h"
#include "winsim/machine.h"
#include "windows.h"

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct PngSize {
  bool ok = false;
  int width = 0, height = 0;
};

// Width and height from the IHDR chunk that must follow the signature.
PngSize ReadPngHeader(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  PngSize size;
  if (b.size() < 24 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || b.compare(12, 4, "IHDR") != 0) return size;
  auto be32 = [&](size_t at) {
    return static_cast<int>((static_cast<unsigned char>(b[at]) << 24) | (static_cast<unsigned char>(b[at + 1]) << 16) |
                            (static_cast<unsigned char>(b[at + 2]) << 8) | static_cast<unsigned char>(b[at + 3]));
  };
  size.ok = true;
  size.width = be32(16);
  size.height = be32(20);
  return size;
}

std::string Shipped(const std::string& base, const char* suffix) {
  return std::string(SHIPPED_SOURCE_DIR) + "/" + base + suffix + "_kor.png";
}

TEST(ArtworkFit, SideBySidePicturesLieInsideThePageFrameAtEveryDensity) {
  const struct {
    int dpi;
    const char* banner;  // name part of the banner at this density
    const char* page;    // and of the page images (no 120 variant: the 96 one)
  } densities[] = {{96, "", ""}, {120, "_DPI_120", ""}, {144, "_DPI_144", "_DPI_144"}, {192, "_DPI_192", "_DPI_192"}};
  const struct {
    WORD templateId;
    const char* pages[3];
  } layouts[] = {{IDD_WELCOME, {"Set1-1", "Un1-1", nullptr}}, {IDD_FINISH, {"Set5-1", "Un3-1", "Un4-1"}}};

  for (const auto& d : densities) {
    SCOPED_TRACE(d.dpi);
    ASSERT_TRUE(winsim::SetConfigValue("dpi", std::to_string(d.dpi), nullptr));
    HWND host = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_ERROR), nullptr, QuietProc, 0);
    ASSERT_NE(host, nullptr);
    const PngSize banner = ReadPngHeader(Shipped("vtxSet", d.banner));
    ASSERT_TRUE(banner.ok) << Shipped("vtxSet", d.banner);
    for (const auto& layout : layouts) {
      HWND page = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(layout.templateId), host, QuietProc, 0);
      ASSERT_NE(page, nullptr);
      // The etched frame in page client coordinates; its lines are the two
      // outermost rows and columns on each side.
      RECT frame;
      ASSERT_TRUE(GetWindowRect(GetDlgItem(page, 1010), &frame));
      POINT corners[2] = {{frame.left, frame.top}, {frame.right, frame.bottom}};
      ASSERT_TRUE(ScreenToClient(page, &corners[0]));
      ASSERT_TRUE(ScreenToClient(page, &corners[1]));
      frame = {corners[0].x, corners[0].y, corners[1].x, corners[1].y};
      const int insideRight = frame.right - 2, insideBottom = frame.bottom - 2;
      const int insideWidth = insideRight - 2, insideHeight = insideBottom - 2;

      EXPECT_LE(1 + banner.height, insideBottom) << "banner crosses the frame's bottom line";
      EXPECT_GE(banner.height, insideHeight - 4) << "banner about as tall as the frame's inside";
      for (const char* base : layout.pages) {
        if (!base) continue;
        SCOPED_TRACE(base);
        const PngSize picture = ReadPngHeader(Shipped(base, d.page));
        ASSERT_TRUE(picture.ok);
        EXPECT_LE(1 + picture.height, insideBottom) << "page image crosses the frame's bottom line";
        EXPECT_LE(1 + banner.width + picture.width, insideRight) << "page image crosses the frame's right line";
        if (d.dpi == 120) continue;  // the 96-DPI picture beside the 120-DPI banner
        EXPECT_GE(picture.height, insideHeight - 4);
        EXPECT_GE(banner.width + picture.width, insideWidth - 6) << "the pair fills the frame's width";
      }
      DestroyWindow(page);
    }
    DestroyWindow(host);
  }
  ASSERT_TRUE(winsim::SetConfigValue("dpi", "96", nullptr));
}

}  // namespace
