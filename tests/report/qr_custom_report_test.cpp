#include "report/qr_custom_report.h"

#include <gtest/gtest.h>

#include "report/qr_custom_label.h"

namespace vorelia::report {
namespace {

TEST(QRReportModelTest, LabelStoredInTenthsShowsMillimetresAndPixels) {
  TQRReport report("Report");
  report.SetUnits(TQRUnit::MM);
  auto& band = report.CreateBand<TQRBand>("Band", TQRBandType::rbDetail);
  TQRPrintable& label = band.Add(std::make_unique<TQRLabel>("QRLabel2"));
  label.Size().SetUnits(TQRUnit::MM);
  label.Size().SetValues({44.97916666666667, 21.16666666666667, 31.75, 127.0});

  EXPECT_NEAR(label.Size().Left(), 2.1166667, 1e-6);
  EXPECT_EQ(label.Left(), 8);
  EXPECT_EQ(label.Top(), 12);
  EXPECT_EQ(label.Width(), 48);
  EXPECT_EQ(label.Height(), 17);
}

TEST(QRReportModelTest, ZoomAcceptsOnlyOneToThreeHundred) {
  TQRReport report("Report");
  report.SetZoom(0);
  EXPECT_EQ(report.Zoom(), 100);
  report.SetZoom(301);
  EXPECT_EQ(report.Zoom(), 100);
  report.SetZoom(300);
  EXPECT_EQ(report.Zoom(), 300);
  report.SetZoom(1);
  EXPECT_EQ(report.Zoom(), 1);
}

TEST(QRReportModelTest, BandSwitchesCreateNamedBandsAndListThemInPrintOrder) {
  TQRReport report("Report");
  report.SetHasBand(TQRBandType::rbSummary, true);
  report.SetHasBand(TQRBandType::rbDetail, true);
  report.SetHasBand(TQRBandType::rbPageFooter, true);
  report.SetHasBand(TQRBandType::rbTitle, true);
  report.SetHasBand(TQRBandType::rbPageHeader, true);
  report.CreateBand<TQRBand>("DetailBand1x", TQRBandType::rbColumnHeader);

  std::vector<std::string> names;
  for (const TQRCustomBand* band : report.BandList()) names.push_back(band->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"PageHeaderBand1", "TitleBand1", "DetailBand1x",
                                             "DetailBand1", "SummaryBand1", "PageFooterBand1"}));
  EXPECT_TRUE(report.HasBand(TQRBandType::rbSummary));
  report.SetHasBand(TQRBandType::rbSummary, false);
  EXPECT_FALSE(report.HasBand(TQRBandType::rbSummary));
  report.SetHasBand(TQRBandType::rbSummary, true);
  EXPECT_NE(report.FindBand("SummaryBand1"), nullptr);
}

TEST(QRReportModelTest, BandsAreLaidOutDownThePageAtThePrintableWidth) {
  TQRReport report("Report");
  // A4 with 10 mm margins: 1900 tenths across, 718 pixels; a new band is 40 pixels high.
  report.Page().SetPaperSize(TQRPaperSize::A4);
  report.Page().SetValues({100.0, 2970.0, 100.0, 2100.0, 100.0, 100.0, 0.0});
  auto& header = report.CreateBand<TQRBand>("H", TQRBandType::rbPageHeader);
  auto& detail = report.CreateBand<TQRBand>("D", TQRBandType::rbDetail);
  EXPECT_EQ(header.Bounds().Width, 718);
  EXPECT_NEAR(header.NativeWidth(), 1899.7083, 1e-3);
  EXPECT_EQ(header.Bounds().Left, 38);
  EXPECT_EQ(header.Bounds().Top, 38);
  EXPECT_EQ(detail.Bounds().Top, 78);

  // Two columns 10 mm apart: (718 - 38) / 2 = 340 pixels each, the header keeps full width.
  report.Page().SetNative(TQRPage::kColumnSpace, 100.0);
  report.Page().SetColumns(2);
  EXPECT_EQ(detail.Bounds().Width, 340);
  EXPECT_EQ(header.Bounds().Width, 718);
}

TEST(QRReportModelTest, LinksAndChildBandsRefuseLoops) {
  TQRReport report("Report");
  auto& a = report.CreateBand<TQRBand>("A", TQRBandType::rbDetail);
  auto& b = report.CreateBand<TQRBand>("B", TQRBandType::rbSummary);
  EXPECT_TRUE(a.SetLinkBand(&b));
  EXPECT_FALSE(b.SetLinkBand(&a));
  EXPECT_EQ(b.LinkBand(), nullptr);

  a.SetHasChild(true);
  ASSERT_NE(a.ChildBand(), nullptr);
  TQRChildBand& child = *a.ChildBand();
  EXPECT_FALSE(static_cast<TQRCustomBand&>(child).SetLinkBand(&child));
  child.SetHasChild(true);
  TQRChildBand& grandChild = *child.ChildBand();
  auto& loose = report.CreateBand<TQRChildBand>("Loose");
  EXPECT_FALSE(child.SetParentBand(&grandChild));
  EXPECT_TRUE(loose.SetParentBand(&b));
  // The child chain follows its parent in the band list.
  std::vector<std::string> names;
  for (const TQRCustomBand* band : report.BandList()) names.push_back(band->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"A", "ChildBand1", "ChildBand2", "B", "Loose"}));
}

}  // namespace
}  // namespace vorelia::report
