#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <variant>

#include "report/agency_report_layout.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_db_text.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

using test::MakeAgencies;
using test::PageTexts;
using test::TProbe;
using Log = std::vector<std::pair<int, int>>;

// The agency report with a probe on each band that logs (page, y) of every printing.
class AgencyCompositionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_report = CreateAgencyReport();
    m_report->FindBand("QRBand1")->Add(std::make_unique<TProbe>("HeaderProbe", m_headers));
    m_report->FindBand("QRBand2")->Add(std::make_unique<TProbe>("DetailProbe", m_details));
    m_report->FindBand("QRBand3")->Add(std::make_unique<TProbe>("FooterProbe", m_footers));
  }

  void Compose(data::TDataSet* dataSet) {
    BindAgencyReport(*m_report, dataSet);
    m_report->Compose();
  }

  int PageCount() const { return m_report->QRPrinter()->PageCount(); }
  TPageRecording Page(int n) const { return *m_report->QRPrinter()->GetPage(n); }

  std::unique_ptr<TQRReport> m_report;
  Log m_headers;
  Log m_details;
  Log m_footers;
};

TEST_F(AgencyCompositionTest, LayoutBandHeightsInTenthsOfAMillimetre) {
  EXPECT_NEAR(m_report->FindBand("QRBand1")->NativeHeight(), 156.104, 5e-4);
  EXPECT_NEAR(m_report->FindBand("QRBand2")->NativeHeight(), 351.896, 5e-4);
  EXPECT_NEAR(m_report->FindBand("QRBand3")->NativeHeight(), 92.604, 5e-4);
  EXPECT_NEAR(m_report->FindBand("QRBand2")->NativeWidth(), 1899.708, 5e-4);
  const TQRPrintable* title = m_report->FindPrintable("QRLabel1");
  ASSERT_NE(title, nullptr);
  EXPECT_NEAR(title->Size().Native(TQRPrintableSize::kLeft), 656.1666667, 1e-6);
  EXPECT_NEAR(title->Size().Native(TQRPrintableSize::kHeight), 63.5, 1e-9);
}

TEST_F(AgencyCompositionTest, SevenRecordsAPageWithHeaderAndFooterOnEveryPage) {
  auto agencies = MakeAgencies(15);
  agencies->Open();
  Compose(agencies.get());

  ASSERT_EQ(PageCount(), 3);
  EXPECT_EQ(m_headers, (Log{{1, 100}, {2, 100}, {3, 100}}));
  EXPECT_EQ(m_footers, (Log{{1, 2777}, {2, 2777}, {3, 2777}}));
  const Log expected{{1, 256},  {1, 608},  {1, 960},  {1, 1312}, {1, 1664},
                     {1, 2016}, {1, 2368}, {2, 256},  {2, 608},  {2, 960},
                     {2, 1312}, {2, 1664}, {2, 2016}, {2, 2368}, {3, 256}};
  EXPECT_EQ(m_details, expected);
  // The run leaves the dataset past its last record.
  EXPECT_TRUE(agencies->Eof());

  // The detail band's white fill on the 96-dpi page: 256 tenths down is pixel 97, 10 mm in
  // is pixel 38, and the 718-pixel band ends at 756.
  const TPageRecording page1 = Page(1);
  const TOpFillRect detailFill{{38, 97, 756, 230}};
  EXPECT_NE(std::find(page1.Ops.begin(), page1.Ops.end(), TPageOp{detailFill}), page1.Ops.end());

  // The title's rule: 8 pixels high at 31 down, so its middle is 100 + 35 x 254 / 96 = 192.6
  // tenths (device 73); it runs from 10 mm (38) over 721 pixels to 2007.6 tenths (759).
  const auto moveTo = std::find(page1.Ops.begin(), page1.Ops.end(), (TPageOp{TOpMoveTo{38, 73}}));
  ASSERT_NE(moveTo, page1.Ops.end());
  EXPECT_EQ(*(moveTo + 1), (TPageOp{TOpLineTo{759, 73}}));

  const std::vector<std::string> texts = PageTexts(Page(3));
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "VORELIA"), 1);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Agency 15"), 1);
  EXPECT_EQ(texts.back(), "3");
}

TEST_F(AgencyCompositionTest, EmptyOpenDatasetPrintsOnePageWithEmptyDataTexts) {
  auto agencies = MakeAgencies(0);
  agencies->Open();
  Compose(agencies.get());

  ASSERT_EQ(PageCount(), 1);
  EXPECT_EQ(m_details, (Log{{1, 256}}));
  const std::vector<std::string> expected{"VORELIA",
                                          "Ag\xEAncia:",
                                          "Endere\xE7o:",
                                          "M\xFAnicipio/Bairro",
                                          "UF:",
                                          "Cep:",
                                          "Telefone",
                                          "E-Mail",
                                          "Site:",
                                          "Visite o Site: www.vorelia.com.br",
                                          "1"};
  EXPECT_EQ(PageTexts(Page(1)), expected);
}

TEST_F(AgencyCompositionTest, ForceNewPagePutsEveryLaterRecordOnItsOwnPage) {
  m_report->FindBand("QRBand2")->ForceNewPage = true;
  auto agencies = MakeAgencies(3);
  agencies->Open();
  Compose(agencies.get());

  EXPECT_EQ(PageCount(), 3);
  EXPECT_EQ(m_details, (Log{{1, 256}, {2, 256}, {3, 256}}));
  EXPECT_EQ(m_footers.size(), 3u);
}

TEST_F(AgencyCompositionTest, CancelFromProgressEndsTheDocumentWithItsLastFooter) {
  auto agencies = MakeAgencies(100);
  agencies->Open();
  int printed = 0;
  m_report->FindBand("QRBand2")->AfterPrint = [&](TQRCustomBand&, bool) {
    if (++printed == 10) m_report->QRPrinter()->Cancel();
  };
  Compose(agencies.get());

  EXPECT_EQ(PageCount(), 2);
  EXPECT_EQ(m_details.size(), 10u);
  EXPECT_EQ(m_footers, (Log{{1, 2777}, {2, 2777}}));
  EXPECT_EQ(PageTexts(Page(2)).back(), "2");
  EXPECT_TRUE(m_report->Available());
}

TEST_F(AgencyCompositionTest, CancelThroughTheReportAbortsWithoutTheLastFooter) {
  auto agencies = MakeAgencies(100);
  agencies->Open();
  int printed = 0;
  m_report->FindBand("QRBand2")->AfterPrint = [&](TQRCustomBand&, bool) {
    if (++printed == 10) m_report->Cancel();
  };
  Compose(agencies.get());

  EXPECT_EQ(m_details.size(), 10u);
  EXPECT_EQ(m_footers, (Log{{1, 2777}}));
  EXPECT_EQ(PageCount(), 2);
}

TEST_F(AgencyCompositionTest, DataTextsShowTheirFieldNamesOutsideRuns) {
  auto* cep = dynamic_cast<TQRDBText*>(m_report->FindPrintable("QRDBText5"));
  ASSERT_NE(cep, nullptr);
  EXPECT_EQ(cep->Caption(), "CEP");
  auto agencies = MakeAgencies(2);
  agencies->Open();
  Compose(agencies.get());
  EXPECT_EQ(cep->Caption(), "CEP");
  EXPECT_EQ(cep->PrintText(), "CEP");
}

TEST_F(AgencyCompositionTest, RightAlignedAutoSizeDataTextKeepsItsRightEdge) {
  auto agencies = MakeAgencies(0);
  agencies->AddRow({"A", "", "", "", "", "7"});
  agencies->AddRow({"B", "", "", "", "", "081"});
  agencies->Open();
  Compose(agencies.get());

  // The area code's box ends at 584 + 25 = 609 pixels of the band: 100 + 609 x 254 / 96 =
  // 1711.3 tenths from the page edge, device pixel 647 at 96 dpi.
  std::vector<TOpText> codes;
  for (const TPageOp& op : Page(1).Ops) {
    if (const auto* text = std::get_if<TOpText>(&op);
        text && (text->Text == "7" || text->Text == "081")) {
      codes.push_back(*text);
    }
  }
  ASSERT_EQ(codes.size(), 2u);
  for (const TOpText& code : codes) {
    SCOPED_TRACE(code.Text);
    EXPECT_EQ(code.X, 647);
    EXPECT_EQ(code.Align, TTextAlign::Right);
  }
  const TQRPrintable* ddd = m_report->FindPrintable("QRDBText6");
  EXPECT_EQ(ddd->Left() + ddd->Width(), 609);
}

// A plain report whose only band is a detail of a chosen height, on A4 with 10 mm margins.
class BandBreakTest : public ::testing::Test {
 protected:
  BandBreakTest() : m_report("R") {
    m_report.Page().SetValues({100.0, 2970.0, 100.0, 2100.0, 100.0, 100.0, 0.0});
    m_detail = &m_report.CreateBand<TQRBand>("Detail", TQRBandType::rbDetail);
    m_detail->Add(std::make_unique<TProbe>("Probe", m_log));
  }

  void Run(double height, int records) {
    m_detail->Size().SetNative(TQRBandSize::kHeight, height);
    auto rows = MakeAgencies(records);
    rows->Open();
    m_report.SetDataSet(rows.get());
    m_report.Compose();
    m_report.SetDataSet(nullptr);
  }

  TQRReport m_report;
  TQRCustomBand* m_detail;
  Log m_log;
};

TEST_F(BandBreakTest, BandExactlyAsHighAsTheSpaceLeftStaysOnThePage) {
  // 2770 tenths between the margins hold five bands of 554 exactly.
  Run(554.0, 6);
  EXPECT_EQ(m_log, (Log{{1, 100}, {1, 654}, {1, 1208}, {1, 1762}, {1, 2316}, {2, 100}}));
}

TEST_F(BandBreakTest, OneTenthMoreMovesTheBandToTheNextPage) {
  Run(555.0, 5);
  EXPECT_EQ(m_log, (Log{{1, 100}, {1, 655}, {1, 1210}, {1, 1765}, {2, 100}}));
}

TEST_F(BandBreakTest, BandTallerThanThePagePrintsWhereItIsWithoutEmptyPages) {
  Run(3000.0, 2);
  EXPECT_EQ(m_log, (Log{{1, 100}, {1, 3100}}));
  EXPECT_EQ(m_report.QRPrinter()->PageCount(), 1);
}

TEST_F(BandBreakTest, ClosedDatasetWithoutPrintIfEmptyBeginsNoPage) {
  m_report.SetPrintIfEmpty(false);
  auto rows = MakeAgencies(3);
  m_report.SetDataSet(rows.get());
  m_report.Compose();
  EXPECT_EQ(m_report.QRPrinter()->PageCount(), 0);
  EXPECT_TRUE(m_log.empty());
}

TEST_F(BandBreakTest, DestroyedDatasetUnbindsItself) {
  {
    auto rows = MakeAgencies(3);
    rows->Open();
    m_report.SetDataSet(rows.get());
  }
  EXPECT_EQ(m_report.DataSet(), nullptr);
  // Without a dataset the empty report prints once.
  m_report.Compose();
  EXPECT_EQ(m_log, (Log{{1, 100}}));
}

}  // namespace
}  // namespace vorelia::report
