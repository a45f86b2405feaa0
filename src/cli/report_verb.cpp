// The report verb of vorelia-cli: the agency report composed by the program's report engine,
// printed to a PDF file or kept as a saved page store, for the records in the order and filter
// asked for.

#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QRectF>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "cli/cli.h"
#include "cli/gui_verbs.h"
#include "cli/tables_verbs.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "dbf/index_factory.h"
#include "platform/code_page.h"
#include "platform/errors.h"
#include "report/agency_report_layout.h"
#include "report/core/qr_printer.h"
#include "report/page_player.h"
#include "report/qr_custom_report.h"

namespace vorelia::cli {
namespace {

namespace fs = std::filesystem;

std::string LowerExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return extension;
}

// Every page on its own sheet of the page's own size, drawn over the whole sheet.
void WritePdf(report::TQRPrinter& pages, const fs::path& fileName) {
  const std::optional<report::TPageRecording> first = pages.GetPage(1);
  if (!first) throw std::runtime_error("The report has no pages.");
  QPrinter pdf(QPrinter::HighResolution);
  pdf.setOutputFormat(QPrinter::PdfFormat);
  pdf.setOutputFileName(QString::fromStdString(fileName.string()));
  const QSizeF size(first->Width * 25.4 / std::max(first->PixelsPerInchX, 1),
                    first->Height * 25.4 / std::max(first->PixelsPerInchY, 1));
  pdf.setPageSize(QPageSize(size, QPageSize::Millimeter));
  pdf.setPageOrientation(QPageLayout::Portrait);
  pdf.setFullPage(true);
  QPainter painter;
  if (!painter.begin(&pdf)) throw std::runtime_error("Cannot write \"" + fileName.string() + "\".");
  for (int n = 1; n <= pages.PageCount(); ++n) {
    const std::optional<report::TPageRecording> page = n == 1 ? first : pages.GetPage(n);
    if (!page) throw std::runtime_error("Page " + std::to_string(n) + " is missing.");
    if (n > 1) pdf.newPage();
    report::PlayPage(*page, painter, QRectF(0, 0, pdf.width(), pdf.height()));
  }
  if (!painter.end()) throw std::runtime_error("Cannot write \"" + fileName.string() + "\".");
}

// Writes beside the target and renames at the end, so a failure leaves no half file behind.
template <typename Write>
void WriteWhole(const fs::path& target, Write write) {
  fs::path temporary = target;
  temporary += ".part";
  try {
    write(temporary);
    if (!fs::exists(temporary))
      throw std::runtime_error("Cannot write \"" + target.string() + "\".");
    fs::rename(temporary, target);
  } catch (...) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw;
  }
}

int ReportVerb(Context& ctx) {
  if (ctx.args.empty()) throw UsageError{"missing arguments"};
  fs::path output;
  std::vector<std::string> rest;
  for (size_t i = 1; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    if (arg == "-o" && i + 1 < ctx.args.size()) {
      output = ctx.args[++i];
    } else if (arg == "--deleted") {
      throw UsageError{"unknown option --deleted"};
    } else {
      rest.push_back(arg);
    }
  }
  if (output.empty()) throw UsageError{"-o FILE.pdf or -o FILE.qrp is required"};
  const std::string extension = LowerExtension(output);
  if (extension != ".pdf" && extension != ".qrp")
    throw UsageError{"the output file must end in .pdf or .qrp"};
  const TableView view = ParseTableView(rest, 0);

  const std::unique_ptr<QApplication> application = OffscreenApplication();
  dbf::InstallIndexEngine();
  dbf::TDbfDataSet table;
  databases::AddAgencyFields(table);
  databases::OpenAgencyTable(table, ctx.dados, platform::Utf8ToAnsi(ctx.args[0]));
  ApplyTableView(table, view);

  const std::unique_ptr<report::TQRReport> agencies = report::CreateAgencyReport();
  report::BindAgencyReport(*agencies, &table);
  agencies->Compose();
  report::TQRPrinter* pages = agencies->QRPrinter();
  if (pages == nullptr || pages->Status() != report::TQRPrinterStatus::StateDone)
    throw std::runtime_error("The report could not be composed.");
  if (extension == ".pdf") {
    WriteWhole(output, [pages](const fs::path& path) { WritePdf(*pages, path); });
  } else {
    WriteWhole(output, [pages](const fs::path& path) { pages->Save(path); });
  }
  return 0;
}

int GuardedReport(Context& ctx) { return RunWithAnsiErrors(ctx, &ReportVerb); }

const VerbRegistrar kReport("report",
                            "report NAME -o FILE.pdf|FILE.qrp [--order natural|asc|desc] "
                            "[--filter FIELD=TEXT]",
                            &GuardedReport);

}  // namespace
}  // namespace vorelia::cli
