#include <gtest/gtest.h>

#include <QPainter>
#include <QPrinter>
#include <filesystem>
#include <fstream>

#include "report/agency_report_layout.h"
#include "report/core/qr_printer.h"
#include "report/page_player.h"
#include "report/qr_custom_report.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

// Every stored page played onto one sheet of a PDF at 1200 dpi.
void WritePdf(TQRPrinter& pages, const QString& fileName) {
  QPrinter pdf(QPrinter::HighResolution);
  pdf.setOutputFormat(QPrinter::PdfFormat);
  pdf.setOutputFileName(fileName);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setFullPage(true);
  QPainter painter(&pdf);
  for (int n = 1; n <= pages.PageCount(); ++n) {
    if (n > 1) pdf.newPage();
    PlayPage(*pages.GetPage(n), painter, QRectF(0, 0, pdf.width(), pdf.height()));
  }
}

TEST(AgencyReportPdfTest, TwentyAgenciesPrintOnThreeA4Sheets) {
  auto report = CreateAgencyReport();
  auto agencies = test::MakeAgencies(20);
  agencies->Open();
  BindAgencyReport(*report, agencies.get());
  report->Compose();
  ASSERT_EQ(report->QRPrinter()->PageCount(), 3);

  const char* keep = std::getenv("VORELIA_KEEP_PDF");
  const std::filesystem::path path =
      keep ? std::filesystem::path(keep)
           : std::filesystem::path(::testing::TempDir()) / "agency_report.pdf";
  WritePdf(*report->QRPrinter(), QString::fromStdString(path.string()));
  std::ifstream file(path, std::ios::binary);
  std::string start(5, '\0');
  file.read(start.data(), 5);
  EXPECT_EQ(start, "%PDF-");
  if (!keep) std::filesystem::remove(path);
}

}  // namespace
}  // namespace vorelia::report
