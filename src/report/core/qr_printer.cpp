#include "report/core/qr_printer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "report/core/qr_error.h"

namespace vorelia::report {

namespace {

std::function<void(TQRPrinter&, bool)>& StandardPreview() {
  static std::function<void(TQRPrinter&, bool)> show;
  return show;
}

// Rounds to the nearest integer, ties to even (the default floating-point rounding mode).
int RoundToInt(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(rounded < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(rounded);
}

int TableTenths(double millimetres) { return RoundToInt(10 * millimetres); }

}  // namespace

void TQRPrinter::SetStandardPreview(std::function<void(TQRPrinter&, bool)> show) {
  StandardPreview() = std::move(show);
}

TQRPrinter::TQRPrinter(std::unique_ptr<TQRPrinterDevice> device, const TTextMeasurer* measurer)
    : m_device(std::move(device)), m_measurer(measurer) {
  if (m_device) {
    m_unprintableLeft = m_device->LeftOffset();
    m_unprintableTop = m_device->TopOffset();
  }
}

TQRPrinter::~TQRPrinter() {
  if (m_status != TQRPrinterStatus::StateIdle) CleanUp();
}

void TQRPrinter::CleanUp() {
  if (m_status == TQRPrinterStatus::StateRunning) {
    Cancel();
    if (m_device && m_device->JobRunning()) m_device->AbortJob();
  }
  m_recorder.reset();
  m_pageOnPrinter = false;
  m_pageList.Clear();
  m_status = TQRPrinterStatus::StateIdle;
}

void TQRPrinter::SetProgress(int progress) {
  m_progress = progress;
  if (OnProgress) OnProgress(progress);
}

void TQRPrinter::SetPreviewShown(bool shown) {
  const bool was = m_previewShown.exchange(shown);
  if (was && !shown) {
    if (m_status == TQRPrinterStatus::StateRunning) Cancel();
    if (OnPreviewClosed) OnPreviewClosed();
  }
}

int TQRPrinter::PrinterIndex() const { return m_device ? m_device->PrinterIndex() : m_printerIndex; }

void TQRPrinter::SetPrinterIndex(int index) {
  // Without a printer there is nothing to select.
  if (m_device) m_device->SetPrinterIndex(index);
}

TQRPaperSize TQRPrinter::PaperSize() const {
  return m_device ? m_device->PaperSize() : m_paperSize;
}

void TQRPrinter::SetPaperSize(TQRPaperSize size) {
  if (m_device) {
    m_device->SetPaperSize(size);
  } else if (static_cast<int>(size) < kPaperSizeCount) {
    m_paperSize = size;
  }
}

int TQRPrinter::PaperWidth() const {
  if (m_device) return m_device->PaperWidth();
  return HasFixedDimensions(m_paperSize) ? TableTenths(PaperDimensions(m_paperSize).Width)
                                         : m_paperWidth;
}

void TQRPrinter::SetPaperWidth(int width) {
  if (m_device) {
    m_device->SetPaperWidth(width);
  } else if (m_paperSize == TQRPaperSize::Custom) {
    m_paperWidth = width;
  }
}

int TQRPrinter::PaperLength() const {
  if (m_device) return m_device->PaperLength();
  return HasFixedDimensions(m_paperSize) ? TableTenths(PaperDimensions(m_paperSize).Length)
                                         : m_paperLength;
}

void TQRPrinter::SetPaperLength(int length) {
  if (m_device) {
    m_device->SetPaperLength(length);
  } else if (m_paperSize == TQRPaperSize::Custom) {
    m_paperLength = length;
  }
}

TQROrientation TQRPrinter::Orientation() const {
  return m_device ? m_device->Orientation() : m_orientation;
}

void TQRPrinter::SetOrientation(TQROrientation orientation) {
  if (m_device) {
    m_device->SetOrientation(orientation);
  } else {
    m_orientation = orientation;
  }
}

int TQRPrinter::Copies() const { return m_device ? m_device->Copies() : m_copies; }

void TQRPrinter::SetCopies(int copies) {
  if (m_device) {
    m_device->SetCopies(copies);
  } else {
    m_copies = copies;
  }
}

TQRBin TQRPrinter::OutputBin() const { return m_device ? m_device->OutputBin() : m_outputBin; }

void TQRPrinter::SetOutputBin(TQRBin bin) {
  if (m_device) {
    m_device->SetOutputBin(bin);
  } else {
    m_outputBin = bin;
  }
}

int TQRPrinter::PageWidthNative() const {
  const bool portrait = Orientation() == TQROrientation::poPortrait;
  const TQRPaperSize size = PaperSize();
  if (!HasFixedDimensions(size)) return portrait ? PaperWidth() : PaperLength();
  const TPaperDimensions table = PaperDimensions(size);
  return TableTenths(portrait ? table.Width : table.Length);
}

int TQRPrinter::PageLengthNative() const {
  const bool portrait = Orientation() == TQROrientation::poPortrait;
  const TQRPaperSize size = PaperSize();
  if (!HasFixedDimensions(size)) return portrait ? PaperLength() : PaperWidth();
  const TPaperDimensions table = PaperDimensions(size);
  return TableTenths(portrait ? table.Length : table.Width);
}

int TQRPrinter::DeviceX(double x) const {
  return RoundToInt((x - m_unprintableLeft) * m_horzFactor);
}

int TQRPrinter::DeviceY(double y) const { return RoundToInt((y - m_unprintableTop) * m_vertFactor); }

int TQRPrinter::DeviceWidth(double x) const { return RoundToInt(x * m_horzFactor); }

int TQRPrinter::DeviceHeight(double y) const { return RoundToInt(y * m_vertFactor); }

bool TQRPrinter::InPrintRange(int page) const {
  return (m_firstPage <= 0 || page >= m_firstPage) && (m_lastPage <= 0 || m_lastPage >= page);
}

void TQRPrinter::SetFactors(int ppiX, int ppiY) {
  m_horzFactor = ppiX / 254.0;
  m_vertFactor = ppiY / 254.0;
}

void TQRPrinter::NotifyPagesReady() {
  if (OnPagesReady) OnPagesReady(m_pagesReady);
}

void TQRPrinter::BeginDoc() {
  m_recorder.reset();
  m_pageOnPrinter = false;
  m_pagesReady = 0;
  m_cancelled = false;
  if (m_target == TQRPrinterDestination::TargetPrinter && m_device) m_device->ApplySettings();
  const bool toPrinter = m_target == TQRPrinterDestination::TargetPrinter && m_device;
  m_unprintableLeft = toPrinter ? m_device->LeftOffset() : 0;
  m_unprintableTop = toPrinter ? m_device->TopOffset() : 0;
  if (m_status != TQRPrinterStatus::StateIdle) throw EQRError("QRPrinter not ready");
  m_pageNumber = 0;
  m_pageCount = 0;
  m_status = TQRPrinterStatus::StateRunning;
  if (toPrinter) {
    SetFactors(m_device->PixelsPerInchX(), m_device->PixelsPerInchY());
  } else {
    m_pageList.NewDocument(TQRStream::kReportMemoryLimit);
    SetFactors(kScreenPixelsPerInch, kScreenPixelsPerInch);
  }
}

// Ends the open page: into the page store, onto the printer's sheet, or away when it was drawn
// only to keep the page numbering of a partial print.
void TQRPrinter::FinishPage() {
  if (m_recorder) {
    if (m_target == TQRPrinterDestination::TargetPageStore) {
      m_pageList.AddPage(m_recorder->Recording());
    }
    m_recorder.reset();
  }
  m_pageOnPrinter = false;
}

void TQRPrinter::OpenPage() {
  const bool printerSheet = m_target == TQRPrinterDestination::TargetPrinter && m_device &&
                            InPrintRange(m_pageCount);
  if (printerSheet) {
    if (!m_device->JobRunning()) {
      m_device->BeginJob(m_title);
    } else {
      m_device->NewSheet();
    }
    SetFactors(m_device->PixelsPerInchX(), m_device->PixelsPerInchY());
    m_pageOnPrinter = true;
    return;
  }
  SetFactors(kScreenPixelsPerInch, kScreenPixelsPerInch);
  m_recorder = std::make_unique<TPageRecorder>(DeviceWidth(PageWidthNative()),
                                               DeviceHeight(PageLengthNative()),
                                               kScreenPixelsPerInch, kScreenPixelsPerInch,
                                               m_measurer);
}

void TQRPrinter::NewPage() {
  if (m_status != TQRPrinterStatus::StateRunning) throw EQRError("Illegal call to NewPage");
  if (m_pageNumber > 0) {
    FinishPage();
    ++m_pagesReady;
    NotifyPagesReady();
  }
  ++m_pageCount;
  ++m_pageNumber;
  OpenPage();
}

TPageCanvas& TQRPrinter::Canvas() {
  if (m_pageOnPrinter) return m_device->Canvas();
  if (!m_recorder) throw EQRError("No report page is open");
  return *m_recorder;
}

void TQRPrinter::EndDoc() {
  if (m_status != TQRPrinterStatus::StateRunning) return;
  const bool toPrinter = m_target == TQRPrinterDestination::TargetPrinter;
  const bool pageOpen = m_pageNumber > 0 && (m_recorder || m_pageOnPrinter);
  if (toPrinter) {
    m_recorder.reset();
    m_pageOnPrinter = false;
    if (m_device && m_device->JobRunning()) m_device->EndJob();
  } else if (m_pageCount > 0) {
    FinishPage();
  }
  // Only a page that was actually finished counts, so PagesReady never exceeds the pages.
  if (pageOpen) ++m_pagesReady;
  // The document is whole before it is declared done: the events run below, or a preview on
  // the user-interface thread, may save, load or print it as soon as the state changes, and a
  // header still counting one page would make the saved file unreadable.
  if (!toPrinter) m_pageList.WriteHeader(CurrentDateTime());
  m_status = TQRPrinterStatus::StateDone;
  if (ProcessEvents) ProcessEvents();
  NotifyPagesReady();
  if (toPrinter && OnPrintDone) OnPrintDone();
}

void TQRPrinter::AbortDoc() {
  if (m_target == TQRPrinterDestination::TargetPrinter) {
    m_recorder.reset();
    m_pageOnPrinter = false;
    if (m_device && m_device->JobRunning()) m_device->AbortJob();
  } else if (m_recorder) {
    FinishPage();
    ++m_pagesReady;
    NotifyPagesReady();
  }
  // The header carries the true count, so a saved aborted document reads back whole.
  if (m_target == TQRPrinterDestination::TargetPageStore && m_pageList.HasDocument()) {
    m_pageList.WriteHeader(CurrentDateTime());
  }
  m_status = TQRPrinterStatus::StateDone;
}

std::optional<TPageRecording> TQRPrinter::GetPage(int n) {
  if (m_status == TQRPrinterStatus::StateIdle || n < 1 || n > m_pageCount) return std::nullopt;
  return m_pageList.GetPage(n);  // nothing for a page not appended yet
}

void TQRPrinter::Save(const std::filesystem::path& fileName) {
  if (m_status != TQRPrinterStatus::StateDone) return;
  m_pageList.SaveToFile(fileName);
}

void TQRPrinter::Load(const std::filesystem::path& fileName) {
  // The file is checked completely before anything of the current document goes.
  TQRPageList& list = m_pageList;
  if (m_status == TQRPrinterStatus::StateRunning) {
    throw EQRError("Cannot load a report while one is being composed");
  }
  list.LoadFromFile(fileName);
  m_recorder.reset();
  m_pageOnPrinter = false;
  m_pageCount = list.PageCount();
  m_pageNumber = list.PageCount();
  m_pagesReady = list.PageCount();
  m_cancelled = false;
  SetFactors(kScreenPixelsPerInch, kScreenPixelsPerInch);
  m_status = TQRPrinterStatus::StateDone;
  if (m_pageCount > 0) {
    if (const auto first = list.GetPage(1)) RecognisePaper(*first);
  }
  OnSetupRequest = nullptr;
  OnExportRequest = nullptr;
  m_pagesLoaded = true;
}

// The page's size in millimetres divided by four, truncated, is compared with each paper of
// the table; the last match wins.
void TQRPrinter::RecognisePaper(const TPageRecording& first) {
  const int w = static_cast<int>(first.Width / m_horzFactor / 40);
  const int l = static_cast<int>(first.Height / m_horzFactor / 40);
  std::optional<TQRPaperSize> match;
  TQROrientation orientation = TQROrientation::poPortrait;
  for (int i = static_cast<int>(TQRPaperSize::Letter); i <= static_cast<int>(TQRPaperSize::ESheet);
       ++i) {
    const auto size = static_cast<TQRPaperSize>(i);
    const TPaperDimensions table = PaperDimensions(size);
    const int tw = static_cast<int>(table.Width / 4);
    const int tl = static_cast<int>(table.Length / 4);
    if (w == tw && l == tl) {
      match = size;
      orientation = TQROrientation::poPortrait;
    }
    if (w == tl && l == tw) {
      match = size;
      orientation = TQROrientation::poLandscape;
    }
  }
  if (match) {
    SetPaperSize(*match);
    SetOrientation(orientation);
  }
}

void TQRPrinter::Print() {
  if (MasterPrintRequest && !m_pagesLoaded) {
    MasterPrintRequest();
    return;
  }
  if (m_status != TQRPrinterStatus::StateDone || !m_device) return;
  // A cancel that ended the composition must not stop this later print.
  m_cancelled = false;
  if (m_device->JobRunning()) m_device->AbortJob();
  m_device->ApplySettings();
  const int first = m_firstPage > 0 ? m_firstPage : 1;
  const int last = std::min(m_lastPage > 0 ? m_lastPage : m_pageCount.load(), m_pageCount.load());
  if (first > last) return;
  m_device->BeginJob(m_title);
  try {
    for (int n = first; n <= last; ++n) {
      if (ProcessEvents) ProcessEvents();
      if (const auto page = GetPage(n)) m_device->PlayPage(*page);
      if (m_cancelled) {
        m_device->AbortJob();
        return;
      }
      if (n != last) m_device->NewSheet();
    }
  } catch (...) {
    if (m_device->JobRunning()) m_device->EndJob();
    throw;
  }
  if (m_device->JobRunning()) m_device->EndJob();
}

void TQRPrinter::Preview() {
  if (OnPreview) {
    OnPreview(*this);
  } else if (StandardPreview()) {
    StandardPreview()(*this, false);
  }
}

void TQRPrinter::RunPreview() {
  if (OnPreview) {
    OnPreview(*this);
  } else if (StandardPreview()) {
    StandardPreview()(*this, true);
  }
}

void TQRPrinter::EndPreview() {
  if (MasterPreviewClosed) MasterPreviewClosed();
}

}  // namespace vorelia::report
