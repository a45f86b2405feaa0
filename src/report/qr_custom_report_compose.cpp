// Page composition: the run, band printing with its space check, column and page breaks.
#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <exception>

#include "data/dataset.h"
#include "report/core/qr_error.h"
#include "report/core/qr_printer.h"
#include "report/qr_controller.h"
#include "report/qr_custom_report.h"
#include "report/qr_expression_engine.h"
#include "report/qr_group.h"
#include "report/qr_measuring_context.h"
#include "report/qr_printable.h"
#include "report/qr_sub_detail.h"

namespace vorelia::report {

namespace {

// Sets a flag for the life of a scope.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : m_flag(flag), m_old(flag) { m_flag = true; }
  ~FlagScope() { m_flag = m_old; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& m_flag;
  bool m_old;
};

bool BreaksExempt(TQRBandType type) {
  return type == TQRBandType::rbTitle || type == TQRBandType::rbPageHeader ||
         type == TQRBandType::rbPageFooter || type == TQRBandType::rbOverlay;
}

}  // namespace

TQRPrinter& TQRCustomReport::Printer() const {
  if (!m_printer) throw EQRError("QRPrinter not ready");
  return *m_printer;
}

std::unique_ptr<TQRPrinter> TQRCustomReport::TakePrinter() { return std::move(m_printer); }

void TQRCustomReport::SetPrinter(std::unique_ptr<TQRPrinter> printer) {
  m_printer = std::move(printer);
}

TPageCanvas& TQRCustomReport::Canvas() const { return Printer().Canvas(); }
int TQRCustomReport::DeviceX(double x) const { return Printer().DeviceX(x); }
int TQRCustomReport::DeviceY(double y) const { return Printer().DeviceY(y); }
double TQRCustomReport::HorzFactor() const { return Printer().HorzFactor(); }
double TQRCustomReport::VertFactor() const { return Printer().VertFactor(); }

bool TQRCustomReport::PrinterCancelled() const {
  return m_cancelled || (m_printer && m_printer->Cancelled());
}

void TQRCustomReport::SetProgress(int percent) {
  if (m_printer) m_printer->SetProgress(percent);
}

void TQRCustomReport::ProcessEvents() const {
  QCoreApplication* app = QCoreApplication::instance();
  if (app && QThread::currentThread() == app->thread()) QCoreApplication::processEvents();
}

std::unique_ptr<TQRPrinter> TQRCustomReport::CreatePrinter(
    std::unique_ptr<TQRPrinterDevice> device) {
  auto printer = std::make_unique<TQRPrinter>(std::move(device), m_measurer.get());
  printer->OnPreviewClosed = [this] {
    if (AfterPreview) AfterPreview(*this);
  };
  printer->OnPrintDone = [this] {
    if (AfterPrint) AfterPrint(*this);
  };
  printer->SetTarget(TQRPrinterDestination::TargetPageStore);
  printer->SetTitle(ReportTitle);
  printer->ProcessEvents = [this] { ProcessEvents(); };
  return printer;
}

void TQRCustomReport::Compose() {
  if (!m_available) return;
  m_printer = CreatePrinter(nullptr);
  CreateReport();
  if (m_printer) m_printer->SetPagesLoaded(true);
}

void TQRCustomReport::Cancel() {
  if (m_available) return;
  m_cancelled = true;
  if (m_printer) m_printer->Cancel();
}

void TQRCustomReport::SetNamedValue(const std::string& name, const std::string& value) {
  // The stored expression stays as laid out: the next run compiles it again.
  for (const TQRNamedValue& entry : Functions) {
    if (entry.Name == name) {
      m_namedValues[name] = value;
      if (m_expressions) m_expressions->NamedValueChanged(name, value);
      return;
    }
  }
}

double TQRCustomReport::PaperLengthForRun() const {
  const TQRPrinter& printer = Printer();
  const bool landscape = m_page->Orientation() == TQROrientation::poLandscape;
  return landscape && m_page->PaperSize() != TQRPaperSize::Custom ? printer.PaperWidth()
                                                                  : printer.PaperLength();
}

int TQRCustomReport::AvailableSpace() const {
  if (m_available || m_currentY == -1 || !m_printer) return 0;
  return RoundEven(PaperLengthForRun() - m_page->Native(TQRPage::kBottomMargin) - m_pageFooterSize -
                   m_currentY);
}

double TQRCustomReport::NeededHeight(const TQRCustomBand* band) const {
  // Linked bands are kept on the band's page: count each band of the chain once.
  double needed = 0;
  std::vector<const TQRCustomBand*> seen;
  for (const TQRCustomBand* link = band; link; link = link->LinkBand()) {
    if (std::find(seen.begin(), seen.end(), link) != seen.end()) break;
    seen.push_back(link);
    needed += link->NativeHeight();
  }
  return needed;
}

void TQRCustomReport::PrepareRun() {
  // Groups and sub-details join the controller of their master (the report's by default).
  TQRController& controller = *m_controller;
  controller.Groups().clear();
  controller.SubsBefore().clear();
  controller.SubsAfter().clear();
  for (const auto& band : m_bands) {
    if (auto* sub = dynamic_cast<TQRSubDetail*>(band.get())) {
      sub->Controller().Groups().clear();
      sub->Controller().SubsBefore().clear();
      sub->Controller().SubsAfter().clear();
      sub->Controller().Unprepare();
    }
  }
  for (const auto& band : m_bands) {
    if (auto* group = dynamic_cast<TQRGroup*>(band.get())) {
      (group->Master ? *group->Master : controller).Groups().push_back(group);
    }
    if (auto* sub = dynamic_cast<TQRSubDetail*>(band.get())) {
      TQRController& master = sub->Master ? *sub->Master : controller;
      (sub->PrintBefore ? master.SubsBefore() : master.SubsAfter()).push_back(sub);
    }
  }
  if (m_expressions) m_expressions->Prepare(*this);
  SetNamedValue("PAGENUMBER", "0");
  SetNamedValue("COLUMNNUMBER", std::to_string(m_currentColumn));
  SetNamedValue("REPORTTITLE", ReportTitle);
  controller.Prepare();
  ForEachPrintable([](TQRPrintable& printable) { printable.Prepare(); });
}

void TQRCustomReport::UnprepareRun() {
  ForEachPrintable([](TQRPrintable& printable) { printable.Unprepare(); });
  m_controller->Unprepare();
  if (m_expressions) m_expressions->Unprepare();
  for (const auto& band : m_bands) band->NotifyController = nullptr;
}

void TQRCustomReport::CreateReport() {
  if (!m_available.exchange(false)) return;
  RunComposition();
}

void TQRCustomReport::RunComposition() {
  if (StartRun()) FinishRun();
}

bool TQRCustomReport::StartRun() {
  TQRPage& page = *m_page;
  if (page.Native(TQRPage::kWidth) - page.Native(TQRPage::kLeftMargin) -
          page.Native(TQRPage::kRightMargin) <
      0) {
    page.SetNative(TQRPage::kLeftMargin, 0);
    page.SetNative(TQRPage::kRightMargin, 0);
  }
  if (page.Native(TQRPage::kLength) - page.Native(TQRPage::kTopMargin) -
          page.Native(TQRPage::kBottomMargin) <
      0) {
    page.SetNative(TQRPage::kTopMargin, 0);
    page.SetNative(TQRPage::kBottomMargin, 0);
  }
  m_cancelled = false;
  m_lastPage = false;
  m_noForcedPage = false;
  m_columnForced = false;
  m_prepared = false;

  bool printReport = true;
  try {
    if (BeforePrint) BeforePrint(*this, printReport);
  } catch (...) {
    m_available = true;
    throw;
  }
  if (!printReport) {
    m_available = true;
    return false;
  }

  m_savedUnits = Units();
  try {
    SetUnits(TQRUnit::Native);
    m_prepared = true;
    TQRPrinter& printer = Printer();
    printer.SetPrinterIndex(PrinterSettings.PrinterIndex);
    printer.SetPaperSize(page.PaperSize());
    if (printer.PaperSize() == TQRPaperSize::Custom) {
      printer.SetPaperWidth(RoundEven(page.Native(TQRPage::kWidth)));
      printer.SetPaperLength(RoundEven(page.Native(TQRPage::kLength)));
    }
    printer.SetOrientation(page.Orientation());
    printer.SetCopies(PrinterSettings.Copies);
    printer.SetOutputBin(PrinterSettings.OutputBin);
    printer.SetFirstPage(PrinterSettings.FirstPage);
    printer.SetLastPage(PrinterSettings.LastPage);
    printer.SetTitle(ReportTitle);
    printer.SetCompression(Options.Compression);
    printer.BeginDoc();
  } catch (...) {
    EndRunAfterError();
    throw;
  }
  return true;
}

void TQRCustomReport::FinishRun() {
  try {
    TQRPage& page = *m_page;
    m_currentY = -1;
    m_pageCount = 0;
    m_currentColumn = page.Columns();

    m_pageFooterSize = 0;
    for (const auto& band : m_bands) {
      if (band->BandType() != TQRBandType::rbPageFooter || !band->Enabled) continue;
      for (const TQRCustomBand* chain = band.get(); chain; chain = chain->ChildBand()) {
        m_pageFooterSize += chain->NativeHeight();
      }
    }
    m_currentX = RoundEven(page.Native(TQRPage::kLeftMargin));
    PrepareRun();

    TQRController& controller = *m_controller;
    controller.Detail = FirstBandOfType(TQRBandType::rbDetail);
    controller.Header = FirstBandOfType(TQRBandType::rbTitle);
    controller.Footer = FirstBandOfType(TQRBandType::rbSummary);
    controller.OnNeedData = OnNeedData;
    controller.Execute();

    m_currentX = RoundEven(page.Native(TQRPage::kLeftMargin));
    m_lastPage = true;
    if (!m_cancelled) FinishPage();
  } catch (...) {
    EndRunAfterError();
    throw;
  }
  EndRun();
}

void TQRCustomReport::EndRun() {
  if (m_prepared) {
    m_prepared = false;
    SetUnits(m_savedUnits);
    UnprepareRun();
  }
  if (m_printer) {
    if (m_cancelled) {
      m_printer->AbortDoc();
    } else {
      m_printer->EndDoc();
    }
  }
  m_currentY = -1;
  m_available = true;
}

void TQRCustomReport::EndRunAfterError() {
  // The document is ended or aborted on every way out; the first error reaches the caller.
  try {
    EndRun();
  } catch (...) {
    m_currentY = -1;
    m_available = true;
  }
}

void TQRCustomReport::PrintBand(TQRCustomBand* band) {
  if (!band) return;
  const TQRPage& page = *m_page;
  const TQRBandType type = band == m_footerChild ? TQRBandType::rbPageFooter : band->BandType();
  if (band->AlignToBottom) {
    if (type == TQRBandType::rbSummary && !Options.LastPageFooter) m_pageFooterSize = 0;
    const int bottom = RoundEven(PaperLengthForRun() - page.Native(TQRPage::kBottomMargin) -
                                 band->NativeHeight() - m_pageFooterSize);
    if (m_currentY < bottom) m_currentY = bottom;
  }
  bool print = band->Enabled;
  if (print && band->BeforePrint) band->BeforePrint(*band, print);
  if (print) {
    const bool forcible = !BreaksExempt(type) && PageBegun();
    if (band->ForceNewPage && forcible) {
      ForceNewPage();
    } else if (band->ForceNewColumn && forcible) {
      ForceNewColumn();
    } else {
      // A band printed while a break is under way (the page header, a column header) never
      // breaks again: on a page too small for it, that would begin pages without end.
      const int needed = RoundEven(NeededHeight(band));
      const double printable =
          page.Native(TQRPage::kLength) -
          (page.Native(TQRPage::kTopMargin) + page.Native(TQRPage::kBottomMargin));
      if (!PageBegun() || (!m_breaking && type != TQRBandType::rbPageFooter &&
                           AvailableSpace() < needed && needed <= printable)) {
        NewColumn();
      }
    }
    if (band->NotifyController) band->NotifyController->NotifyDetailAdvanced();
    PrintBandOnce(band);
  } else if (band->NotifyController && !band->Enabled) {
    band->NotifyController->NotifyDetailAdvanced();
  }
  if (band->AfterPrint) band->AfterPrint(*band, print);
  if (TQRCustomBand* child = band->ChildBand()) {
    TQRCustomBand* previous = m_footerChild;
    if (type == TQRBandType::rbPageFooter) m_footerChild = child;
    PrintBand(child);
    m_footerChild = previous;
  }
}

void TQRCustomReport::PrintBandOnce(TQRCustomBand* band) {
  TQRPrinter& printer = Printer();
  const double width = band->NativeWidth();
  const double height = band->NativeHeight();
  band->BandRect = {printer.DeviceX(m_currentX), printer.DeviceY(m_currentY),
                    printer.DeviceX(m_currentX + width), printer.DeviceY(m_currentY + height)};
  if (band->Bounds().Height == 0 || !band->Enabled) return;
  TPageCanvas& canvas = printer.Canvas();
  canvas.SetBrush({band->Color, TBrushStyle::bsSolid});
  canvas.FillRect(band->BandRect);
  band->Expanded = 0;
  bool firstPass = true;
  while (true) {
    bool allDone = true;
    for (const auto& printable : band->Printables()) {
      if (!printable->Enabled) continue;
      if (firstPass || !printable->Finished()) printable->Print(m_currentX, m_currentY);
      allDone = allDone && printable->Finished();
    }
    TPageCanvas& current = printer.Canvas();
    band->BandRect = {printer.DeviceX(m_currentX), printer.DeviceY(m_currentY),
                      printer.DeviceX(m_currentX + width),
                      printer.DeviceY(m_currentY + height + band->Expanded + 1)};
    band->Frame().PaintIt(current, band->BandRect, printer.HorzFactor(), printer.VertFactor());
    if (allDone) break;
    // Stretching labels go on in the next column or page where they stopped.
    NewColumn();
    band->Expanded = 0;
    firstPass = false;
  }
  m_currentY += RoundEven(height + band->Expanded);
}

void TQRCustomReport::NewColumn() {
  FlagScope breaking(m_breaking);
  const TQRPage& page = *m_page;
  if (m_currentColumn >= page.Columns()) {
    m_currentColumn = 1;
    m_currentX = RoundEven(page.Native(TQRPage::kLeftMargin));
    NewPage();
  } else {
    int columnWidth = 0;
    if (TQRCustomBand* detail = FirstBandOfType(TQRBandType::rbDetail)) {
      columnWidth = RoundEven(detail->NativeWidth());
    } else {
      columnWidth =
          (RoundEven(page.Native(TQRPage::kWidth) -
                     (page.Native(TQRPage::kLeftMargin) + page.Native(TQRPage::kRightMargin))) -
           RoundEven(page.Native(TQRPage::kColumnSpace)) * (page.Columns() - 1)) /
          page.Columns();
    }
    m_currentX += RoundEven(page.Native(TQRPage::kColumnSpace)) + columnWidth;
    m_currentY = m_columnTop;
    ++m_currentColumn;
  }
  SetNamedValue("COLUMNNUMBER", std::to_string(m_currentColumn));
  if (m_currentColumn == 1 && m_pageCount == 1) return;
  PrintBand(FirstBandOfType(TQRBandType::rbColumnHeader));
  ReprintGroupHeaders(*m_controller);
}

void TQRCustomReport::ReprintGroupHeaders(TQRController& controller) {
  bool reprint = false;
  for (TQRGroup* group : controller.Groups()) {
    if (!reprint && group->ReprintOnNewPage && group->InGroup && group->HeaderPage < m_pageCount) {
      reprint = true;
    }
    if (reprint) {
      PrintBand(group);
      group->HeaderPage = m_pageCount;
    }
  }
  for (TQRSubDetail* sub : controller.SubsBefore()) ReprintGroupHeaders(sub->Controller());
  for (TQRSubDetail* sub : controller.SubsAfter()) ReprintGroupHeaders(sub->Controller());
}

void TQRCustomReport::NewPage() {
  FinishPage();
  ++m_pageCount;
  SetNamedValue("PAGENUMBER", std::to_string(m_pageCount));
  Printer().NewPage();
  const TQRPage& page = *m_page;
  m_currentY = RoundEven(page.Native(TQRPage::kTopMargin));
  if (OnStartPage) OnStartPage(*this);
  if (m_pageCount > 1 || Options.FirstPageHeader) {
    PrintBand(FirstBandOfType(TQRBandType::rbPageHeader));
  }
  m_columnTop = m_currentY;
  if (m_pageCount == 1) {
    if (TQRCustomBand* title = FirstBandOfType(TQRBandType::rbTitle)) {
      m_columnTop += RoundEven(title->NativeHeight());
    }
  }
}

void TQRCustomReport::FinishPage() {
  if (!PageBegun()) return;
  const TQRPage& page = *m_page;
  m_currentY = RoundEven(page.Native(TQRPage::kLength) - page.Native(TQRPage::kBottomMargin) -
                         m_pageFooterSize);
  m_currentX = RoundEven(page.Native(TQRPage::kLeftMargin));
  if (!(m_lastPage && !Options.LastPageFooter)) {
    PrintBand(FirstBandOfType(TQRBandType::rbPageFooter));
  }
  for (const auto& printable : m_printables) {
    if (printable->Prints()) printable->Print(0, 0);
  }
  TQRPrinter& printer = Printer();
  m_frame.PaintIt(
      printer.Canvas(),
      {printer.DeviceX(page.Native(TQRPage::kLeftMargin)),
       printer.DeviceY(page.Native(TQRPage::kTopMargin)),
       printer.DeviceX(page.Native(TQRPage::kWidth) - page.Native(TQRPage::kRightMargin)),
       printer.DeviceY(page.Native(TQRPage::kLength) - page.Native(TQRPage::kBottomMargin))},
      printer.HorzFactor(), printer.VertFactor());
  if (OnEndPage) OnEndPage(*this);
}

void TQRCustomReport::ForceNewPage() {
  if (m_available) return;
  if (m_noForcedPage) {
    m_noForcedPage = false;
    return;
  }
  do {
    NewColumn();
  } while (m_currentColumn != 1);
}

void TQRCustomReport::ForceNewColumn() {
  if (m_available) return;
  if (m_columnForced || m_currentColumn > 1) {
    NewColumn();
  } else {
    m_columnForced = true;
  }
}

}  // namespace vorelia::report
