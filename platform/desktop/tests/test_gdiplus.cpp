// GDI+ pictures: the artwork-image behaviour of missing and undecodable
// files, sizes of good ones, and drawing on a window being painted.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include "afxwin.h"
#include "desktop_test_support.h"
#include "gdiplus.h"
#include "machine_fixture.h"
#include "probe_templates.h"
#include "winsim/machine.h"

using namespace winsim::desktop;

namespace {

class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    std::string drive = winsim::DriveCRoot();
    QImage picture(7, 5, QImage::Format_ARGB32);
    picture.fill(QColor(200, 0, 0));
    ASSERT_TRUE(picture.save(QString::fromStdString(drive + "/good.png"), "PNG"));
    winsim::testing::WriteHostFile(drive + "/notes.png", "this is a text file, not a picture\r\n");
    // A PNG under another name, another format under a PNG name, and a PNG
    // signature in front of what no decoder reads.
    ASSERT_TRUE(picture.save(QString::fromStdString(drive + "/png_inside.bmp"), "PNG"));
    ASSERT_TRUE(picture.copy(0, 0, 3, 4).save(QString::fromStdString(drive + "/bmp_inside.png"), "BMP"));
    winsim::testing::WriteHostFile(drive + "/broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "no chunks here");
  }
  void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }
  ULONG_PTR m_token = 0;
};

TEST(GdiplusStartupTest, NothingLoadsBeforeStartup) {
  GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(0x1);
  EXPECT_EQ(GdipCreateBitmapFromFile(u"C:\\good.png", &bitmap), Gdiplus::GdiplusNotInitialized);
  EXPECT_EQ(bitmap, nullptr);
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput wrongVersion;
  wrongVersion.GdiplusVersion = 9;
  EXPECT_EQ(Gdiplus::GdiplusStartup(&token, &wrongVersion, nullptr), Gdiplus::UnsupportedGdiplusVersion);
}

TEST_F(GdiplusTest, FilesLoadAsArtworkImages) {
  const struct {
    const char* name;
    const char16_t* path;
    Gdiplus::Status status;
    UINT width, height;
  } rows[] = {
      {"a picture", u"C:\\good.png", Gdiplus::Ok, 7, 5},
      {"case and slashes of the path", u"c:/GOOD.PNG", Gdiplus::Ok, 7, 5},
      {"a missing file", u"C:\\missing_kor.png", Gdiplus::InvalidParameter, 0, 0},
      {"a missing folder", u"C:\\nowhere\\vtxSet_kor.png", Gdiplus::InvalidParameter, 0, 0},
      {"a text file named .png", u"C:\\notes.png", Gdiplus::OutOfMemory, 0, 0},
      {"a PNG picture named .bmp", u"C:\\png_inside.bmp", Gdiplus::Ok, 7, 5},
      {"a BMP picture named .png", u"C:\\bmp_inside.png", Gdiplus::Ok, 3, 4},
      {"a PNG signature and nothing readable", u"C:\\broken.png", Gdiplus::OutOfMemory, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    GpBitmap* bitmap = reinterpret_cast<GpBitmap*>(0x1);
    EXPECT_EQ(GdipCreateBitmapFromFile(row.path, &bitmap), row.status);
    EXPECT_EQ(bitmap != nullptr, row.status == Gdiplus::Ok);
    UINT width = 0xCCCCCCCC, height = 0xCCCCCCCC;
    Gdiplus::Status expected = bitmap ? Gdiplus::Ok : Gdiplus::InvalidParameter;
    EXPECT_EQ(GdipGetImageWidth(reinterpret_cast<GpImage*>(bitmap), &width), expected);
    EXPECT_EQ(GdipGetImageHeight(reinterpret_cast<GpImage*>(bitmap), &height), expected);
    if (bitmap) {
      EXPECT_EQ(width, row.width);
      EXPECT_EQ(height, row.height);
      EXPECT_EQ(GdipDisposeImage(reinterpret_cast<GpImage*>(bitmap)), Gdiplus::Ok);
    }
    // The SDK class keeps the load status, answers 0 for sizes and then
    // keeps the size query's InvalidParameter.
    Gdiplus::Bitmap image(reinterpret_cast<const WCHAR*>(row.path));
    EXPECT_EQ(image.GetLastStatus(), row.status);
    EXPECT_EQ(image.GetWidth(), row.width);
    EXPECT_EQ(image.GetHeight(), row.height);
    EXPECT_EQ(image.GetLastStatus(), row.status == Gdiplus::Ok ? Gdiplus::Ok : Gdiplus::InvalidParameter);
  }
}

// A window that draws three pictures at their own size when painted, under
// a picture static that has no picture (which paints nothing).
class CPictureDialog : public CDialog {
 public:
  CPictureDialog() : CDialog(kPictureDialog) {}
  std::vector<GpBitmap*> pictures;
  std::vector<Gdiplus::Status> drawStatus;

 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    GpGraphics* graphics = nullptr;
    GdipCreateFromHWND(m_hWnd, &graphics);
    drawStatus.clear();
    int x = 1;
    for (GpBitmap* picture : pictures) {
      UINT width = 0, height = 0;
      GdipGetImageWidth(reinterpret_cast<GpImage*>(picture), &width);
      GdipGetImageHeight(reinterpret_cast<GpImage*>(picture), &height);
      drawStatus.push_back(GdipDrawImageRectI(graphics, reinterpret_cast<GpImage*>(picture), x, 1,
                                              static_cast<INT>(width), static_cast<INT>(height)));
      x += 20;
    }
    GdipDeleteGraphics(graphics);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CPictureDialog, CDialog)
  ON_WM_PAINT()
END_MESSAGE_MAP()

TEST_F(GdiplusTest, EmptyArtworkImagesDrawNothing) {
  CPictureDialog dlg;
  GpBitmap* good = nullptr;
  GpBitmap* missing = nullptr;
  GpBitmap* text = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromFile(u"C:\\good.png", &good), Gdiplus::Ok);
  GdipCreateBitmapFromFile(u"C:\\missing.png", &missing);
  GdipCreateBitmapFromFile(u"C:\\notes.png", &text);
  dlg.pictures = {missing, good, text};
  ASSERT_TRUE(dlg.Create(kPictureDialog));
  QImage shot;
  RunOnUi([&] { shot = FindWindowRecord(dlg.m_hWnd)->widget->grab().toImage(); });
  EXPECT_EQ(dlg.drawStatus,
            (std::vector<Gdiplus::Status>{Gdiplus::InvalidParameter, Gdiplus::Ok, Gdiplus::InvalidParameter}));
  const QColor background(240, 240, 240), red(200, 0, 0);
  // The good picture covers exactly its 7 x 5 pixels at (21, 1).
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 60; ++x) {
      bool inside = x >= 21 && x < 28 && y >= 1 && y < 6;
      ASSERT_EQ(shot.pixelColor(x, y), inside ? red : background) << "pixel " << x << "," << y;
    }
  }
  dlg.DestroyWindow();
  GdipDisposeImage(reinterpret_cast<GpImage*>(good));
}

}  // namespace
