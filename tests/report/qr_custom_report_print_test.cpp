#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "report/agency_report_layout.h"
#include "report/core/page_recorder.h"
#include "report/core/qr_printer.h"
#include "report/core/qr_printer_device.h"
#include "report/qr_custom_report.h"
#include "report/qr_measuring_context.h"
#include "report/qr_progress_form.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

// A printer that keeps every sheet it is given as a recording.
class FakePrinterDevice : public TQRPrinterDevice {
 public:
  explicit FakePrinterDevice(std::vector<TPageRecording>& sheets) : m_sheets(sheets) {}

  int PrinterIndex() const override { return 0; }
  void SetPrinterIndex(int) override {}
  TQRPaperSize PaperSize() const override { return TQRPaperSize::A4; }
  void SetPaperSize(TQRPaperSize) override {}
  int PaperWidth() const override { return 2100; }
  void SetPaperWidth(int) override {}
  int PaperLength() const override { return 2970; }
  void SetPaperLength(int) override {}
  TQROrientation Orientation() const override { return TQROrientation::poPortrait; }
  void SetOrientation(TQROrientation) override {}
  int Copies() const override { return 1; }
  void SetCopies(int) override {}
  TQRBin OutputBin() const override { return TQRBin::Auto; }
  void SetOutputBin(TQRBin) override {}
  int LeftOffset() const override { return 0; }
  int TopOffset() const override { return 0; }
  int PixelsPerInchX() const override { return 96; }
  int PixelsPerInchY() const override { return 96; }
  void ApplySettings() override {}
  bool JobRunning() const override { return m_running; }
  void BeginJob(const std::string&) override {
    m_running = true;
    NewCanvas();
  }
  void NewSheet() override { NewCanvas(); }
  void EndJob() override {
    Keep();
    m_running = false;
  }
  void AbortJob() override { m_running = false; }
  TPageCanvas& Canvas() override { return *m_canvas; }
  void PlayPage(const TPageRecording&) override {}

 private:
  void Keep() {
    if (m_canvas) m_sheets.push_back(m_canvas->TakeRecording());
  }
  void NewCanvas() {
    Keep();
    m_canvas = std::make_unique<TPageRecorder>(794, 1123, 96, 96, &m_measurer);
  }

  std::vector<TPageRecording>& m_sheets;
  TQRMeasuringContext m_measurer;
  std::unique_ptr<TPageRecorder> m_canvas;
  bool m_running = false;
};

class ReportPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_report = CreateAgencyReport();
    m_agencies = test::MakeAgencies(100);
    m_agencies->Open();
    BindAgencyReport(*m_report, m_agencies.get());
  }
  void TearDown() override {
    TQRCustomReport::SetPrinterDeviceFactory(nullptr);
    TQRCustomReport::SetPrintDialogRunner(nullptr);
  }
  void InstallPrinter() {
    TQRCustomReport::SetPrinterDeviceFactory(
        [this] { return std::make_unique<FakePrinterDevice>(m_sheets); });
  }

  std::unique_ptr<TQRReport> m_report;
  std::unique_ptr<vorelia::test::TMemoryDataSet> m_agencies;
  std::vector<TPageRecording> m_sheets;
};

TEST_F(ReportPrintTest, WithoutAPrinterPrintDoesNothingAndKeepsTheComposedPages) {
  m_report->Compose();
  TQRPrinter* composed = m_report->QRPrinter();
  m_agencies->First();
  m_report->Print();
  EXPECT_EQ(m_report->QRPrinter(), composed);
  EXPECT_TRUE(m_agencies->Bof());
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(ReportPrintTest, CancelInTheProgressWindowPrintsThePagesSoFarWithTheLastFooter) {
  InstallPrinter();
  int printed = 0;
  QString infoAtCancel;
  m_report->FindBand("QRBand2")->AfterPrint = [&](TQRCustomBand&, bool) {
    if (++printed != 10) return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* form = qobject_cast<TQRProgressForm*>(widget)) {
        EXPECT_EQ(form->windowTitle(), "Printing progress");
        infoAtCancel = form->InfoText();
        form->findChild<QPushButton*>("CancelButton")->click();
      }
    }
  };
  m_report->Print();

  ASSERT_EQ(m_sheets.size(), 2u);
  const std::vector<std::string> texts = test::PageTexts(m_sheets[1]);
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Agency 10"), 1);
  EXPECT_EQ(texts.back(), "2");
  // Nine of a hundred records were done when the tenth printed: the last multiple of 5 shown.
  EXPECT_EQ(infoAtCancel, "5%  Completed");
  // The progress window is gone and no printer is left behind.
  EXPECT_EQ(m_report->QRPrinter(), nullptr);
  EXPECT_TRUE(m_report->Available());
}

TEST_F(ReportPrintTest, ProgressWindowShowsMultiplesOfFiveOnly) {
  TQRPrinter printer;
  TQRProgressForm form(printer);
  printer.SetProgress(0);
  form.ProgressChanged(0);
  printer.SetProgress(3);
  form.ProgressChanged(3);
  EXPECT_EQ(form.GaugePosition(), 0);
  EXPECT_EQ(form.InfoText(), "0%  Completed");
  printer.SetProgress(5);
  form.ProgressChanged(5);
  EXPECT_EQ(form.GaugePosition(), 5);
  EXPECT_EQ(form.InfoText(), "5%  Completed");
}

TEST_F(ReportPrintTest, PrinterSetupOffersTheComposedPagesAndKeepsTheChoice) {
  m_report->Compose();
  ASSERT_EQ(m_report->QRPrinter()->PageCount(), 15);
  TQRPrintDialogSettings offered;
  TQRCustomReport::SetPrintDialogRunner([&](TQRPrintDialogSettings& settings) {
    offered = settings;
    settings.PrintRange = TQRPrintRange::prPageNums;
    settings.FromPage = 2;
    settings.ToPage = 3;
    settings.Copies = 2;
    settings.Orientation = TQROrientation::poLandscape;
    return true;
  });
  m_report->PrinterSetup();
  EXPECT_EQ(offered.MinPage, 1);
  EXPECT_EQ(offered.MaxPage, 15);
  EXPECT_EQ(offered.FromPage, 1);
  EXPECT_EQ(offered.ToPage, 15);
  EXPECT_EQ(m_report->Tag, 0);
  EXPECT_EQ(m_report->PrinterSettings.FirstPage, 2);
  EXPECT_EQ(m_report->PrinterSettings.LastPage, 3);
  EXPECT_EQ(m_report->PrinterSettings.Copies, 2);
  EXPECT_DOUBLE_EQ(m_report->Page().Native(TQRPage::kWidth), 2970.0);

  TQRCustomReport::SetPrintDialogRunner([](TQRPrintDialogSettings&) { return false; });
  m_report->PrinterSetup();
  EXPECT_EQ(m_report->Tag, 1);
  EXPECT_EQ(m_report->PrinterSettings.FirstPage, 2);
  EXPECT_EQ(m_report->PrinterSettings.Copies, 2);
}

}  // namespace
}  // namespace vorelia::report
