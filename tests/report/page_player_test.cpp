#include "report/page_player.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <fstream>
#include <string>

#include "report/core/page_recorder.h"
#include "support/temp_dir.h"

namespace vorelia::report {
namespace {

// Counts pixels darker than mid-grey inside a rectangle of the image.
int DarkPixels(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) ++count;
    }
  }
  return count;
}

TPageRecording ShapesPage() {
  TPageRecorder canvas(200, 100);
  canvas.SetBrush({0x000000FF, TBrushStyle::bsSolid});  // $00BBGGRR: red
  canvas.FillRect({10, 10, 30, 20});
  canvas.SetBrush({0x00F4F4F4, TBrushStyle::bsSolid});
  canvas.SetPen({clBlack, 1, TPenStyle::psSolid, TPenMode::pmCopy});
  canvas.Rectangle({50, 10, 90, 40});
  canvas.SetBrush({clBlack, TBrushStyle::bsClear});
  canvas.FillRect({0, 0, 200, 100});  // a hollow brush fills nothing
  canvas.MoveTo(0, 60);
  canvas.LineTo(200, 60);
  return canvas.TakeRecording();
}

class PagePlayerTest : public test::TempDirTest {};

TEST_F(PagePlayerTest, ShapesLandWhereTheyWereDrawnAtAnyZoom) {
  const TPageRecording page = ShapesPage();
  const QImage full = RenderPage(page, 100);
  ASSERT_EQ(full.size(), QSize(200, 100));
  EXPECT_EQ(QColor(full.pixel(20, 15)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(full.pixel(30, 15)), QColor(Qt::white));  // right edge is exclusive
  EXPECT_EQ(QColor(full.pixel(70, 25)), QColor(244, 244, 244));
  EXPECT_LT(qGray(full.pixel(50, 25)), 128);   // the outline on the left edge
  EXPECT_LT(qGray(full.pixel(100, 60)), 128);  // the line
  EXPECT_EQ(QColor(full.pixel(100, 80)), QColor(Qt::white));

  const QImage doubled = RenderPage(page, 200);
  ASSERT_EQ(doubled.size(), QSize(400, 200));
  EXPECT_EQ(QColor(doubled.pixel(40, 30)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(doubled.pixel(62, 30)), QColor(Qt::white));
  EXPECT_EQ(QColor(doubled.pixel(140, 50)), QColor(244, 244, 244));
}

TEST_F(PagePlayerTest, TextHangsFromItsPointAndFollowsItsAlignment) {
  TPageRecorder canvas(300, 100);
  TCanvasFont font;
  font.Name = "Courier New";
  font.Size = 10;  // about 13 pixels at 96 per inch
  canvas.SetFont(font);
  canvas.TextOut(10, 10, "WWWW");
  canvas.TextOut(290, 50, "WWWW", TTextAlign::Right);
  canvas.TextRect({150, 10, 160, 30}, 150, 10, "WWWW");  // clipped to ten pixels
  const QImage image = RenderPage(canvas.TakeRecording(), 100);

  EXPECT_GT(DarkPixels(image, QRect(10, 10, 40, 16)), 20);
  EXPECT_EQ(DarkPixels(image, QRect(0, 0, 300, 9)), 0);  // nothing above the top
  EXPECT_EQ(DarkPixels(image, QRect(0, 0, 9, 100)), 0);  // nothing left of the start
  EXPECT_GT(DarkPixels(image, QRect(250, 50, 40, 16)), 20);
  EXPECT_EQ(DarkPixels(image, QRect(291, 0, 9, 100)), 0);  // right-aligned ends at its x
  EXPECT_GT(DarkPixels(image, QRect(150, 10, 10, 16)), 5);
  EXPECT_EQ(DarkPixels(image, QRect(161, 0, 80, 40)), 0);  // the clip held
}

TEST_F(PagePlayerTest, APageScalesOntoAPdfSheet) {
  const auto path = m_dir / "page.pdf";
  {
    QPdfWriter writer(QString::fromStdString(path.string()));
    writer.setResolution(1200);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    PlayPage(ShapesPage(), painter, QRectF(0, 0, writer.width(), writer.height()));
  }
  std::ifstream in(path, std::ios::binary);
  std::string head(5, '\0');
  in.read(head.data(), 5);
  EXPECT_EQ(head, "%PDF-");
  EXPECT_GT(std::filesystem::file_size(path), 500u);
}

TEST_F(PagePlayerTest, HostileSizesAreBounded) {
  TPageRecorder canvas(1000000, 1000000);
  TCanvasFont font;
  font.Size = 32767;
  canvas.SetFont(font);
  canvas.TextOut(0, 0, "x");
  canvas.Ellipse({-16000000, -16000000, 16000000, 16000000});
  const QImage image = RenderPage(canvas.TakeRecording(), 2000);
  EXPECT_LE(static_cast<double>(image.width()) * image.height(), 40e6);
  EXPECT_GE(image.width(), 6000);
  TPageRecording empty;
  EXPECT_EQ(RenderPage(empty, 100).size(), QSize(1, 1));
}

}  // namespace
}  // namespace vorelia::report
