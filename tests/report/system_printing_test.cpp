#include "report/system_printing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinterInfo>
#include <filesystem>

#include "report/agency_report_layout.h"
#include "report/application_printer.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report_test_support.h"
#include "support/temp_dir.h"

namespace vorelia::report {
namespace {

class SystemPrintingTest : public vorelia::test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_report = CreateAgencyReport();
    m_agencies = test::MakeAgencies(20);
    m_agencies->Open();
    BindAgencyReport(*m_report, m_agencies.get());
    m_report->ShowProgress = false;
    m_report->AfterPrint = [this](TQRCustomReport&) { ++m_printed; };
    InstallSystemPrinting();
  }
  void TearDown() override {
    TQRCustomReport::SetPrinterDeviceFactory(nullptr);
    TQRCustomReport::SetPrintDialogRunner(nullptr);
    TempDirTest::TearDown();
  }

  std::unique_ptr<TQRReport> m_report;
  std::unique_ptr<vorelia::test::TMemoryDataSet> m_agencies;
  int m_printed = 0;
};

TEST_F(SystemPrintingTest, AReportHasAPrinterExactlyWhenTheSystemListsOne) {
  const bool listed = !QPrinterInfo::availablePrinterNames().isEmpty();
  const std::unique_ptr<TQRPrinterDevice> device = CreateSystemPrinterDevice();
  EXPECT_EQ(device != nullptr, listed);
  if (!device) {
    // Nothing to print on: printing does nothing and shows nothing.
    m_report->Print();
    EXPECT_EQ(m_printed, 0);
    EXPECT_EQ(m_report->QRPrinter(), nullptr);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    return;
  }
  // The printer the application printer has chosen, or the default one.
  EXPECT_GE(device->PrinterIndex(), 0);
  if (ApplicationPrinterIndex() >= 0) {
    EXPECT_EQ(device->PrinterIndex(), ApplicationPrinterIndex());
  }
  EXPECT_GT(device->PixelsPerInchX(), 0);
  EXPECT_GE(device->LeftOffset(), 0);
  EXPECT_GT(device->PaperWidth(), 0);
}

// Prints only on a queue that makes PDF files, so no paper is ever spent.
TEST_F(SystemPrintingTest, PrintsTheAgencyReportOnAPdfQueue) {
  const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
  int pdfQueue = -1;
  for (int i = 0; i < printers.size(); ++i) {
    if (printers.at(i).makeAndModel().contains("PDF", Qt::CaseInsensitive)) pdfQueue = i;
  }
  if (pdfQueue < 0) GTEST_SKIP() << "no PDF print queue is installed";
  SelectApplicationPrinter(pdfQueue);
  m_report->ReportTitle = "Agencies";
  m_report->Print();
  EXPECT_EQ(m_printed, 1);
  EXPECT_TRUE(m_agencies->Eof());

  // The stored pages of a saved report, from page 2 on, stretched over the printable area.
  m_report->Compose();
  const std::filesystem::path saved = m_dir / "agencies.qrp";
  m_report->QRPrinter()->Save(saved);
  TQRPrinter stored(CreateSystemPrinterDevice());
  ASSERT_TRUE(stored.HasPrinter());
  stored.Load(saved);
  stored.SetTitle("Agencies from page 2");
  stored.SetFirstPage(2);
  stored.Print();
  EXPECT_EQ(stored.PaperSize(), TQRPaperSize::A4);
}

}  // namespace
}  // namespace vorelia::report
