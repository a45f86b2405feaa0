#include "report/qr_unit_base.h"

#include <gtest/gtest.h>

#include "report/qr_page.h"

namespace vorelia::report {
namespace {

TEST(QRUnitBaseTest, EveryUnitReadsAndWritesTheStoredValue) {
  TQRPage page;
  struct Row {
    TQRUnit Unit;
    double Shown;
  };
  // 254 tenths = 25.4 mm = 1 inch = 96 pixels; a line of a 10-point font is
  // 145.3 / 10 / 2.54 mm = 57.2047 tenths, so 254 tenths are 4.44019 lines.
  const Row rows[] = {{TQRUnit::MM, 25.4},
                      {TQRUnit::Inches, 1.0},
                      {TQRUnit::Pixels, 96.0},
                      {TQRUnit::Characters, 4.44019},
                      {TQRUnit::Native, 254.0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Unit));
    page.SetNative(TQRPage::kTopMargin, 254.0);
    page.SetUnits(row.Unit);
    EXPECT_NEAR(page.TopMargin(), row.Shown, 1e-4);
    page.SetTopMargin(row.Shown);
    EXPECT_NEAR(page.Native(TQRPage::kTopMargin), 254.0, 1e-2);
  }
  // Across, a 10-point character is 80 / 10 / 2.54 mm wide: 31.496 tenths.
  page.SetUnits(TQRUnit::Characters);
  page.SetNative(TQRPage::kLeftMargin, 314.96);
  EXPECT_NEAR(page.LeftMargin(), 10.0, 1e-3);
}

TEST(QRUnitBaseTest, PixelsRoundTiesToEven) {
  TQRPage page;
  // 2.5 pixels at 96 per inch is 6.6145833 tenths; 3.5 pixels 9.2604167.
  EXPECT_EQ(page.ToPixels(2.5 * 254.0 / 96.0), 2);
  EXPECT_EQ(page.ToPixels(3.5 * 254.0 / 96.0), 4);
}

TEST(QRPageTest, PaperSizesSetWidthAndLengthByOrientation) {
  TQRPage page;
  page.SetUnits(TQRUnit::MM);
  page.SetPaperSize(TQRPaperSize::A4);
  EXPECT_DOUBLE_EQ(page.Width(), 210.0);
  EXPECT_DOUBLE_EQ(page.Length(), 297.0);
  page.SetOrientation(TQROrientation::poLandscape);
  EXPECT_DOUBLE_EQ(page.Width(), 297.0);
  EXPECT_DOUBLE_EQ(page.Length(), 210.0);

  page.SetOrientation(TQROrientation::poPortrait);
  page.SetPaperSize(TQRPaperSize::Note);
  EXPECT_DOUBLE_EQ(page.Width(), 215.9);
  EXPECT_DOUBLE_EQ(page.Length(), 279.0);
  page.SetPaperSize(TQRPaperSize::Env9);
  EXPECT_DOUBLE_EQ(page.Width(), 98.43);
  EXPECT_DOUBLE_EQ(page.Length(), 225.4);
}

TEST(QRPageTest, WidthAndLengthAreWritableOnlyForCustomPaper) {
  TQRPage page;
  page.SetUnits(TQRUnit::MM);
  page.SetPaperSize(TQRPaperSize::A4);
  page.SetOrientation(TQROrientation::poLandscape);
  page.SetWidth(100.0);
  page.SetLength(50.0);
  EXPECT_DOUBLE_EQ(page.Width(), 297.0);
  EXPECT_DOUBLE_EQ(page.Length(), 210.0);

  // Custom keeps the current dimensions and accepts new ones.
  page.SetPaperSize(TQRPaperSize::Custom);
  EXPECT_DOUBLE_EQ(page.Width(), 297.0);
  page.SetWidth(100.0);
  page.SetLength(50.0);
  EXPECT_DOUBLE_EQ(page.Width(), 100.0);
  EXPECT_DOUBLE_EQ(page.Length(), 50.0);
  // Default changes no dimension either.
  page.SetPaperSize(TQRPaperSize::Default);
  EXPECT_DOUBLE_EQ(page.Width(), 100.0);
}

TEST(QRPageTest, ColumnsBelowOneAreIgnored) {
  TQRPage page;
  page.SetColumns(3);
  page.SetColumns(0);
  EXPECT_EQ(page.Columns(), 3);
  page.SetColumns(-2);
  EXPECT_EQ(page.Columns(), 3);
}

}  // namespace
}  // namespace vorelia::report
