#include "report/system_printing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <filesystem>

#include "report/agency_report_layout.h"
#include "report/application_printer.h"
#include "report/core/qr_error.h"
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
    // Later tests find the application printer on a printer again.
    ApplicationPrinter().setOutputFileName(QString());
    ApplicationPrinter().setOutputFormat(QPrinter::NativeFormat);
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

// What pdfinfo says of a PDF file: its page count and page size line; nothing without pdfinfo.
struct TPdfInfo {
  int Pages = 0;
  QString PageSize;
};
std::optional<TPdfInfo> ReadPdfInfo(const std::filesystem::path& file) {
  QProcess pdfinfo;
  pdfinfo.start("pdfinfo", {QString::fromStdString(file.string())});
  if (!pdfinfo.waitForFinished(10000) || pdfinfo.exitStatus() != QProcess::NormalExit) {
    return std::nullopt;
  }
  TPdfInfo info;
  const QString out = QString::fromUtf8(pdfinfo.readAllStandardOutput());
  const auto pages =
      QRegularExpression("^Pages:\\s+(\\d+)", QRegularExpression::MultilineOption).match(out);
  if (pages.hasMatch()) info.Pages = pages.captured(1).toInt();
  const auto size =
      QRegularExpression("^Page size:\\s+(.*)$", QRegularExpression::MultilineOption).match(out);
  if (size.hasMatch()) info.PageSize = size.captured(1).trimmed();
  return info;
}

void PrintToFile(const std::filesystem::path& file) {
  QPrinter& printer = ApplicationPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(file.string()));
}

TEST_F(SystemPrintingTest, PrintToFileWritesTheReportIntoThatFileEveryTime) {
  const std::filesystem::path file = m_dir / "agencies.pdf";
  PrintToFile(file);
  // The run selects the default printer (-1), which the file stands in for.
  m_report->Print();
  EXPECT_EQ(m_printed, 1);
  ASSERT_TRUE(std::filesystem::exists(file));
  const std::optional<TPdfInfo> info = ReadPdfInfo(file);
  if (!info) GTEST_SKIP() << "pdfinfo is not installed";
  EXPECT_EQ(info->Pages, 3);
  EXPECT_EQ(info->PageSize, "595 x 842 pts (A4)");

  // The choice stays with the application printer: the next print writes the file again, with
  // the report's own settings applied to it.
  std::filesystem::remove(file);
  m_report->Page().SetOrientation(TQROrientation::poLandscape);
  m_report->Compose();
  const int landscapePages = m_report->QRPrinter()->PageCount();
  EXPECT_GT(landscapePages, 3);
  m_report->Print();
  EXPECT_EQ(m_printed, 2);
  ASSERT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(ReadPdfInfo(file)->Pages, landscapePages);
  EXPECT_EQ(ReadPdfInfo(file)->PageSize, "842 x 595 pts (A4)");
}

TEST_F(SystemPrintingTest, AFileThatCannotBeWrittenIsAnErrorNotAPrintElsewhere) {
  PrintToFile(m_dir / "missing" / "agencies.pdf");
  const std::unique_ptr<TQRPrinterDevice> device = CreateSystemPrinterDevice();
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->PrinterIndex(), -1);
  try {
    device->BeginJob("Agencies");
    ADD_FAILURE() << "the job began";
  } catch (const EQRError& error) {
    EXPECT_NE(std::string(error.what()).find("missing/agencies.pdf"), std::string::npos)
        << error.what();
  }
  EXPECT_FALSE(device->JobRunning());
}

}  // namespace
}  // namespace vorelia::report
