#include "report/qt_platform_printer.h"

#include <QPageLayout>
#include <QPrinterInfo>
#include <QRectF>
#include <array>
#include <cmath>
#include <utility>

#include "platform/qt/ansi_text.h"
#include "report/core/qr_error.h"
#include "report/page_player.h"
#include "report/painter_canvas.h"

namespace vorelia::report {

namespace {

// Qt's page size for each platform paper code from 1 on.
constexpr std::array<QPageSize::PageSizeId, 26> kPaperIds = {
    QPageSize::Letter,     QPageSize::LetterSmall,
    QPageSize::Tabloid,    QPageSize::Ledger,
    QPageSize::Legal,      QPageSize::Statement,
    QPageSize::Executive,  QPageSize::A3,
    QPageSize::A4,         QPageSize::A4Small,
    QPageSize::A5,         QPageSize::B4,
    QPageSize::JisB5,      QPageSize::FanFoldGermanLegal,  // 8.5 × 13 in
    QPageSize::Quarto,     QPageSize::Imperial10x14,
    QPageSize::Tabloid,  // 11 × 17 in
    QPageSize::Note,       QPageSize::Envelope9,
    QPageSize::Envelope10, QPageSize::Envelope11,
    QPageSize::Envelope12, QPageSize::Envelope14,
    QPageSize::AnsiC,      QPageSize::AnsiD,
    QPageSize::AnsiE,
};

// Qt's paper sources in the order of the platform's bin codes 1 … 15.
struct TSourceCode {
  QPrinter::PaperSource source;
  int code;
};
constexpr std::array<TSourceCode, 13> kSources = {{
    {QPrinter::OnlyOne, 1},
    {QPrinter::Lower, 2},
    {QPrinter::Middle, 3},
    {QPrinter::Manual, 4},
    {QPrinter::Envelope, 5},
    {QPrinter::EnvelopeManual, 6},
    {QPrinter::Auto, 7},
    {QPrinter::Tractor, 8},
    {QPrinter::SmallFormat, 9},
    {QPrinter::LargeFormat, 10},
    {QPrinter::LargeCapacity, 11},
    {QPrinter::Cassette, 14},
    {QPrinter::FormSource, 15},
}};

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

int PaperCodeOf(QPageSize::PageSizeId id) {
  if (id == QPageSize::Custom) return kPaperCodeUser;
  if (id == QPageSize::Folio) return 14;
  for (std::size_t i = 0; i < kPaperIds.size(); ++i) {
    if (kPaperIds[i] == id) return static_cast<int>(i) + 1;
  }
  return 0;
}

QPageSize PageSizeOfCode(const TDeviceSettings& settings) {
  const int code = settings.PaperCode;
  if (code >= 1 && code <= static_cast<int>(kPaperIds.size())) {
    return QPageSize(kPaperIds[static_cast<std::size_t>(code - 1)]);
  }
  if (code == kPaperCodeUser && settings.PaperWidth > 0 && settings.PaperLength > 0) {
    return QPageSize(QSizeF(settings.PaperWidth / 10.0, settings.PaperLength / 10.0),
                     QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
  }
  return QPageSize();
}

QStringList ListedPrinters() { return QPrinterInfo::availablePrinterNames(); }

int ListedPrinterIndex(const QString& name) {
  return name.isEmpty() ? -1 : static_cast<int>(ListedPrinters().indexOf(name));
}

QString ListedPrinterName(int index) {
  const QStringList names = ListedPrinters();
  if (index >= 0 && index < names.size()) return names.at(index);
  const QString fallback = QPrinterInfo::defaultPrinterName();
  if (!fallback.isEmpty() || names.isEmpty()) return fallback;
  return names.first();
}

TQtPlatformPrinter::TQtPlatformPrinter() = default;

TQtPlatformPrinter::~TQtPlatformPrinter() {
  if (JobRunning()) AbortJob();
}

std::vector<std::string> TQtPlatformPrinter::PrinterNames() const {
  std::vector<std::string> names;
  for (const QString& name : ListedPrinters()) names.push_back(name.toStdString());
  return names;
}

int TQtPlatformPrinter::PrinterIndex() const { return ListedPrinterIndex(m_printer.printerName()); }

void TQtPlatformPrinter::SelectPrinter(int index) {
  if (index < 0 && PrintsToFile()) {
    // The file stands in for the default printer; a PDF writer's defaults are Qt's own.
    m_printer.setOutputFormat(QPrinter::PdfFormat);
    m_printer.setOutputFileName(m_outputFile);
    m_printer.setPageOrientation(QPageLayout::Portrait);
    m_printer.setDuplex(QPrinter::DuplexNone);
    m_printer.setCopyCount(1);
    UseMinimumMargins();
    return;
  }
  // A listed printer chosen by its index ends printing into the file.
  if (index >= 0) m_outputFile.clear();
  if (m_printer.outputFormat() != QPrinter::NativeFormat) {
    m_printer.setOutputFileName(QString());
    m_printer.setOutputFormat(QPrinter::NativeFormat);
  }
  const QString name = ListedPrinterName(index);
  m_printer.setPrinterName(name);
  // The driver's defaults, as a freshly selected printer has them.
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  if (info.defaultPageSize().isValid()) m_printer.setPageSize(info.defaultPageSize());
  m_printer.setPageOrientation(QPageLayout::Portrait);
  m_printer.setDuplex(info.defaultDuplexMode());
  m_printer.setCopyCount(1);
  UseMinimumMargins();
}

void TQtPlatformPrinter::SetOutputFile(const QString& fileName) {
  m_outputFile = fileName;
  SelectPrinter(-1);
}

std::string TQtPlatformPrinter::Destination() const {
  return (PrintsToFile() ? m_outputFile : m_printer.printerName()).toStdString();
}

// The printable area is what the printer can reach, as the platform's unprintable margins say.
void TQtPlatformPrinter::UseMinimumMargins() {
  const QPageLayout layout = m_printer.pageLayout();
  m_printer.setPageMargins(layout.minimumMargins(), layout.units());
}

TDeviceNames TQtPlatformPrinter::Names() const {
  if (PrintsToFile()) return {std::string(), std::string(), m_outputFile.toStdString()};
  const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
  return {m_printer.printerName().toStdString(), info.makeAndModel().toStdString(),
          info.location().toStdString()};
}

std::optional<TDeviceSettings> TQtPlatformPrinter::DeviceSettings() const {
  if (m_printer.printerName().isEmpty() && !PrintsToFile()) return std::nullopt;
  const QPageLayout layout = m_printer.pageLayout();
  TDeviceSettings settings;
  settings.PaperCode = PaperCodeOf(layout.pageSize().id());
  const QSizeF size = layout.pageSize().size(QPageSize::Millimeter);
  settings.PaperWidth = Round(size.width() * 10);
  settings.PaperLength = Round(size.height() * 10);
  for (const TSourceCode& entry : kSources) {
    if (entry.source == m_printer.paperSource()) settings.DefaultSource = entry.code;
  }
  switch (m_printer.duplex()) {
    case QPrinter::DuplexNone:
      settings.Duplex = kDuplexSimplex;
      break;
    case QPrinter::DuplexShortSide:
      settings.Duplex = kDuplexHorizontal;
      break;
    default:
      settings.Duplex = kDuplexVertical;
      break;
  }
  settings.Copies = m_printer.copyCount();
  settings.Orientation =
      layout.orientation() == QPageLayout::Landscape ? kOrientationLandscape : kOrientationPortrait;
  return settings;
}

void TQtPlatformPrinter::SetDeviceSettings(const TDeviceSettings& settings) {
  const QPageSize size = PageSizeOfCode(settings);
  if (size.isValid()) m_printer.setPageSize(size);
  m_printer.setPageOrientation(settings.Orientation == kOrientationLandscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
  switch (settings.Duplex) {
    case kDuplexSimplex:
      m_printer.setDuplex(QPrinter::DuplexNone);
      break;
    case kDuplexVertical:
      m_printer.setDuplex(QPrinter::DuplexLongSide);
      break;
    case kDuplexHorizontal:
      m_printer.setDuplex(QPrinter::DuplexShortSide);
      break;
    default:
      break;
  }
  if (settings.Copies >= 1) m_printer.setCopyCount(settings.Copies);
  for (const TSourceCode& entry : kSources) {
    if (entry.code == (settings.DefaultSource & ~kSourceDriverFlag)) {
      m_printer.setPaperSource(entry.source);
    }
  }
  UseMinimumMargins();
}

TPrinterCapabilities TQtPlatformPrinter::Capabilities() const {
  const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
  TPrinterCapabilities capabilities;
  capabilities.Copies = m_printer.supportsMultipleCopies();
  capabilities.Orientation = true;
  if (PrintsToFile()) {
    // A PDF page may have any size.
    capabilities.PaperSize = true;
    return capabilities;
  }
#ifdef Q_OS_WIN
  capabilities.Bins = !m_printer.supportedPaperSources().isEmpty();
#endif
  for (const QPrinter::DuplexMode mode : info.supportedDuplexModes()) {
    if (mode != QPrinter::DuplexNone) capabilities.Duplex = true;
  }
  capabilities.PaperSize = !info.supportedPageSizes().isEmpty();
  return capabilities;
}

std::vector<int> TQtPlatformPrinter::PaperCodes() const {
  std::vector<int> codes;
  if (PrintsToFile()) {
    for (std::size_t i = 0; i < kPaperIds.size(); ++i) codes.push_back(static_cast<int>(i) + 1);
    return codes;
  }
  const QPrinterInfo info = QPrinterInfo::printerInfo(m_printer.printerName());
  for (const QPageSize& size : info.supportedPageSizes()) {
    const int code = PaperCodeOf(size.id());
    if (code != 0) codes.push_back(code);
  }
  return codes;
}

int TQtPlatformPrinter::ResolutionX() const { return m_printer.resolution(); }

int TQtPlatformPrinter::ResolutionY() const { return m_printer.resolution(); }

TPhysicalPage TQtPlatformPrinter::PhysicalPage() const {
  const QRectF paper = m_printer.paperRect(QPrinter::DevicePixel);
  const QRectF page = m_printer.pageRect(QPrinter::DevicePixel);
  return {Round(page.left() - paper.left()), Round(page.top() - paper.top()), Round(paper.width()),
          Round(paper.height())};
}

bool TQtPlatformPrinter::JobRunning() const { return m_painter.isActive(); }

void TQtPlatformPrinter::BeginJob(const std::string& title) {
  if (JobRunning()) throw EQRError("The printer is already printing");
  m_printer.setDocName(platform::FromAnsi(title));
  if (!m_painter.begin(&m_printer)) {
    throw EQRError("Cannot print on \"" + Destination() + "\"");
  }
  const QRectF page = m_printer.pageRect(QPrinter::DevicePixel);
  m_canvas = std::make_unique<TPainterCanvas>(m_painter, Round(page.width()), Round(page.height()),
                                              m_printer.resolution(), m_printer.resolution());
}

void TQtPlatformPrinter::NewSheet() {
  if (!JobRunning() || !m_printer.newPage()) {
    throw EQRError("Cannot start a new sheet on \"" + Destination() + "\"");
  }
}

void TQtPlatformPrinter::EndJob() {
  m_canvas.reset();
  if (JobRunning() && !m_painter.end()) {
    throw EQRError("Printing on \"" + Destination() + "\" failed");
  }
}

void TQtPlatformPrinter::AbortJob() {
  m_canvas.reset();
  if (!JobRunning()) return;
  m_printer.abort();
  m_painter.end();
}

TPageCanvas& TQtPlatformPrinter::Canvas() {
  if (!m_canvas) throw EQRError("The printer has no sheet to draw on");
  return *m_canvas;
}

void TQtPlatformPrinter::PlayPage(const TPageRecording& page) {
  if (!JobRunning()) throw EQRError("The printer has no sheet to draw on");
  report::PlayPage(page, m_painter, QRectF(0, 0, m_printer.width(), m_printer.height()));
}

}  // namespace vorelia::report
