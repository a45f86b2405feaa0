#include "report/qr_custom_label.h"

#include <gtest/gtest.h>

#include <variant>

#include "report/core/page_recorder.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_db_text.h"
#include "report/qr_measuring_context.h"
#include "report/qr_sys_data.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

// A label on a detail band of an A4 report, with a page open to print on.
class CustomLabelTest : public ::testing::Test {
 protected:
  CustomLabelTest() : m_report("R") {
    m_band = &m_report.CreateBand<TQRBand>("Detail", TQRBandType::rbDetail);
    m_label = &m_band->Add(std::make_unique<TQRLabel>("Label"));
    m_font.Name = "Arial";
    m_font.Size = 10;
    m_label->SetFont(m_font);
  }

  void OpenPage() {
    m_report.SetPrinter(std::make_unique<TQRPrinter>(nullptr, &m_measurer));
    m_report.QRPrinter()->BeginDoc();
    m_report.QRPrinter()->NewPage();
  }

  std::vector<std::string> DrawnTexts() {
    m_report.QRPrinter()->EndDoc();
    return test::PageTexts(*m_report.QRPrinter()->GetPage(1));
  }

  TQRMeasuringContext m_measurer;
  TQRReport m_report;
  TQRCustomBand* m_band;
  TQRLabel* m_label;
  TCanvasFont m_font;
};

TEST_F(CustomLabelTest, WordWrapPutsTheSecondWordOnALineOfItsOwn) {
  m_label->SetAutoSize(false);
  // Wide enough for the first word and its space, not for both words.
  m_label->SetWidth(m_report.TextWidth(m_font, "abc "));
  m_label->SetCaption("abc def");
  EXPECT_EQ(m_label->Lines(), (std::vector<std::string>{"abc ", "def"}));

  // Without word wrap the line ends at the word that does not fit, and only that source line
  // loses its words.
  m_label->SetWordWrap(false);
  m_label->SetCaption("abc def ghi\rabc");
  EXPECT_EQ(m_label->Lines(), (std::vector<std::string>{"abc ", "abc"}));
}

TEST_F(CustomLabelTest, CarriageReturnsSplitLinesAndLineFeedsVanish) {
  m_label->SetCaption("one\r\ntwo\r");
  EXPECT_EQ(m_label->Lines(), (std::vector<std::string>{"one", "two", ""}));
}

TEST_F(CustomLabelTest, WithoutAutoStretchOnlyTheLinesThatFitArePrinted) {
  m_label->SetBounds(8, 12, 48, 17);
  m_label->SetCaption("one\rtwo\rthree");
  OpenPage();
  m_report.SetUnits(TQRUnit::Native);
  m_label->Prepare();
  m_label->Print(100, 100);
  EXPECT_TRUE(m_label->Finished());
  EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"one"}));
}

TEST_F(CustomLabelTest, AutoSizeFollowsTheTextAndNeverGetsLowerThanOneLine) {
  m_label->SetBounds(100, 12, 48, 2);
  m_label->Alignment = TAlignment::taCenter;
  m_label->SetCaption("a much longer caption than before");
  const int width = m_report.TextWidth(m_font, "a much longer caption than before");
  EXPECT_EQ(m_label->Width(), width);
  // Centred: the left edge moves by half the change, truncated toward zero.
  EXPECT_EQ(m_label->Left(), 100 + (48 - width) / 2);
  EXPECT_EQ(m_label->Height(), m_report.TextHeight(m_font, "W") + 1);
}

TEST_F(CustomLabelTest, AutoStretchGrowsTheBandForEveryLine) {
  m_label->SetBounds(8, 0, 200, 17);
  m_label->AutoStretch = true;
  m_label->SetCaption("one\rtwo\rthree");
  std::vector<std::pair<int, int>> log;
  auto& after = m_report.CreateBand<TQRBand>("Summary", TQRBandType::rbSummary);
  after.Add(std::make_unique<test::TProbe>("Probe", log));
  m_report.Page().SetValues({100.0, 2970.0, 100.0, 2100.0, 100.0, 100.0, 0.0});
  m_report.Compose();

  const std::vector<std::string> texts = test::PageTexts(*m_report.QRPrinter()->GetPage(1));
  EXPECT_EQ(texts, (std::vector<std::string>{"one", "two", "three"}));
  // The summary follows the grown band, below the detail's own 40 pixels (105.8 tenths).
  ASSERT_EQ(log.size(), 1u);
  EXPECT_GT(log[0].second, 100 + 106);
}

TEST_F(CustomLabelTest, SystemDataShowsItsKindOutsideRuns) {
  auto& sysData = m_band->Add(std::make_unique<TQRSysData>("Sys"));
  sysData.SetData(TQRSysDataType::qrsPageNumber);
  EXPECT_EQ(sysData.Caption(), "(Page#)");
  sysData.SetText("Page ");
  sysData.SetData(TQRSysDataType::qrsDetailCount);
  EXPECT_EQ(sysData.Caption(), "Page (Detail count)");
}

TEST_F(CustomLabelTest, MaskedNumberFieldsPrintThroughTheMask) {
  vorelia::test::TMemoryDataSet numbers({{"N", data::TFieldType::Integer, 5}});
  numbers.AddRow({"7"});
  numbers.Open();
  auto& text = m_band->Add(std::make_unique<TQRDBText>("Number"));
  text.SetDataSet(&numbers);
  text.SetDataField("N");
  text.Mask = "000";
  m_report.SetDataSet(&numbers);
  m_report.Compose();
  EXPECT_EQ(test::PageTexts(*m_report.QRPrinter()->GetPage(1)), (std::vector<std::string>{"007"}));
}

TEST_F(CustomLabelTest, MaskedDateFieldsPrintThroughTheMask) {
  vorelia::test::TMemoryDataSet dates({{"D", data::TFieldType::Date, 10}});
  dates.AddRow({"2026-12-09"});
  dates.Open();
  auto& text = m_band->Add(std::make_unique<TQRDBText>("When"));
  text.SetDataSet(&dates);
  text.SetDataField("D");
  text.Mask = "dd/MM/yyyy";
  m_report.SetDataSet(&dates);
  m_report.Compose();
  EXPECT_EQ(test::PageTexts(*m_report.QRPrinter()->GetPage(1)),
            (std::vector<std::string>{"09/12/2026"}));
}

TEST(QRFrameTest, SidesAreBarsAsThickAsThePenWidthInPoints) {
  TPageRecorder canvas(800, 1100);
  TQRFrame frame;
  frame.DrawTop = frame.DrawLeft = frame.DrawRight = frame.DrawBottom = true;
  frame.Width = 2;
  // Two points at 96 dpi: 96 / 254 x 2 / 72 x 254 = 2.67, so 3 pixels.
  frame.PaintIt(canvas, {10, 20, 110, 220}, 96.0 / 254.0, 96.0 / 254.0);
  std::vector<TCanvasRect> bars;
  for (const TPageOp& op : canvas.Recording().Ops) {
    if (const auto* fill = std::get_if<TOpFillRect>(&op)) bars.push_back(fill->Rect);
  }
  EXPECT_EQ(bars,
            (std::vector<TCanvasRect>{
                {10, 20, 110, 23}, {10, 217, 110, 220}, {10, 20, 13, 220}, {107, 20, 110, 220}}));
  EXPECT_EQ(canvas.Brush().Style, TBrushStyle::bsClear);
}

}  // namespace
}  // namespace vorelia::report
