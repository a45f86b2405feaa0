#include "report/core/printer_settings.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace vorelia::report {

namespace {

constexpr std::size_t kMaxNameLength = 127;
constexpr int kMaxCopies = 32767;  // the settings block holds copies in 16 bits

constexpr std::array<int, 14> kBinCodes = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};

int Tenths(double millimetres) { return static_cast<int>(std::nearbyint(10 * millimetres)); }

// Pixels at ppi to tenths of a millimetre.
int PixelsToTenths(int pixels, int ppi) {
  if (ppi <= 0) return 0;
  return static_cast<int>(std::nearbyint(static_cast<double>(pixels) / ppi * 254));
}

}  // namespace

int PaperCode(TQRPaperSize size) {
  if (size == TQRPaperSize::Default) return 0;
  if (size == TQRPaperSize::Custom) return kPaperCodeUser;
  return static_cast<int>(size);
}

TQRPaperSize PaperSizeFromCode(int code) {
  for (int i = 1; i < kPaperSizeCount; ++i) {
    const auto size = static_cast<TQRPaperSize>(i);
    if (PaperCode(size) == code) return size;
  }
  return TQRPaperSize::Default;
}

int BinCode(TQRBin bin) {
  const auto index = static_cast<std::size_t>(bin);
  return index < kBinCodes.size() ? kBinCodes[index] : 0;
}

TQRBin BinFromCode(int code) {
  for (std::size_t i = 0; i < kBinCodes.size(); ++i) {
    if (kBinCodes[i] == code) return static_cast<TQRBin>(i);
  }
  return TQRBin::First;
}

void TPrinterSettings::Bind(TPlatformPrinter* printer, std::function<void()> processEvents) {
  m_printer = printer;
  m_processEvents = std::move(processEvents);
}

void TPrinterSettings::LetEventsRun() const {
  if (m_processEvents) m_processEvents();
}

// Some drivers hand out their settings block only when asked a second time.
std::optional<TDeviceSettings> TPrinterSettings::FetchDeviceSettings() {
  std::optional<TDeviceSettings> settings = m_printer->DeviceSettings();
  if (!settings) settings = m_printer->DeviceSettings();
  return settings;
}

void TPrinterSettings::ReadFromPrinter() {
  if (!m_printer) return;
  LetEventsRun();
  m_names = m_printer->Names();
  for (std::string* name : {&m_names.Device, &m_names.Driver, &m_names.Port}) {
    if (name->size() > kMaxNameLength) name->resize(kMaxNameLength);
  }
  const TDeviceSettings device = FetchDeviceSettings().value_or(TDeviceSettings{});
  m_capabilities = m_printer->Capabilities();

  m_ppiX = m_printer->ResolutionX();
  m_ppiY = m_printer->ResolutionY();
  m_copies = m_capabilities.Copies ? device.Copies : 1;
  m_outputBin = m_capabilities.Bins ? BinFromCode(device.DefaultSource) : TQRBin::First;
  m_duplex = m_capabilities.Duplex && device.Duplex != kDuplexSimplex;

  const TPhysicalPage page = m_printer->PhysicalPage();
  m_leftOffset = PixelsToTenths(page.OffsetX, m_ppiX);
  m_topOffset = PixelsToTenths(page.OffsetY, m_ppiY);
  m_paperSize =
      m_capabilities.PaperSize ? PaperSizeFromCode(device.PaperCode) : TQRPaperSize::Default;
  m_paperWidth = PixelsToTenths(page.Width, m_ppiX);
  m_paperLength = PixelsToTenths(page.Height, m_ppiY);

  m_supported.fill(false);
  for (const int code : m_printer->PaperCodes()) {
    const TQRPaperSize size = PaperSizeFromCode(code);
    if (size != TQRPaperSize::Default) m_supported[static_cast<std::size_t>(size)] = true;
  }
  m_supported[static_cast<std::size_t>(TQRPaperSize::Custom)] = true;
}

void TPrinterSettings::ApplySettings() {
  if (!m_printer) return;
  const std::optional<TDeviceSettings> current = FetchDeviceSettings();
  if (!current) return;
  TDeviceSettings device = *current;
  if (m_paperSize == TQRPaperSize::Custom) {
    device.PaperLength = m_paperLength;
    device.PaperWidth = m_paperWidth;
  }
  if (m_duplex) device.Duplex = kDuplexHorizontal;
  if (m_capabilities.PaperSize && m_paperSize != TQRPaperSize::Default) {
    device.PaperCode = PaperCode(m_paperSize);
  }
  device.Copies = m_copies;
  device.DefaultSource = BinCode(m_outputBin) | (device.DefaultSource & kSourceDriverFlag);
  device.Orientation =
      m_orientation == TQROrientation::poLandscape ? kOrientationLandscape : kOrientationPortrait;
  m_printer->SetDeviceSettings(device);
}

int TPrinterSettings::PrinterIndex() const { return m_printer ? m_printer->PrinterIndex() : -1; }

void TPrinterSettings::SetPrinterIndex(int index) {
  if (!m_printer) return;
  const int count = static_cast<int>(m_printer->PrinterNames().size());
  if (index < -1 || index >= count) return;
  m_printer->SelectPrinter(index);
  ReadFromPrinter();
}

void TPrinterSettings::SetCopies(int copies) {
  if (copies < 1 || copies > kMaxCopies) return;
  if (!m_printer || m_capabilities.Copies) m_copies = copies;
}

void TPrinterSettings::SetOutputBin(TQRBin bin) {
  if (static_cast<std::size_t>(bin) >= kBinCodes.size()) return;
  if (!m_printer || m_capabilities.Bins) m_outputBin = bin;
}

void TPrinterSettings::SetOrientation(TQROrientation orientation) {
  if (orientation != TQROrientation::poPortrait && orientation != TQROrientation::poLandscape) {
    return;
  }
  if (!m_printer || m_capabilities.Orientation) m_orientation = orientation;
}

bool TPrinterSettings::Supports(TQRPaperSize size) const {
  const auto index = static_cast<std::size_t>(size);
  if (index >= m_supported.size()) return false;
  return size == TQRPaperSize::Default || !m_printer || m_supported[index];
}

void TPrinterSettings::SetPaperSize(TQRPaperSize size) {
  if (Supports(size)) m_paperSize = size;
}

int TPrinterSettings::PaperWidth() const {
  return HasFixedDimensions(m_paperSize) ? Tenths(PaperDimensions(m_paperSize).Width)
                                         : m_paperWidth;
}

void TPrinterSettings::SetPaperWidth(int width) {
  if (m_paperSize == TQRPaperSize::Custom && width > 0) m_paperWidth = width;
}

int TPrinterSettings::PaperLength() const {
  return HasFixedDimensions(m_paperSize) ? Tenths(PaperDimensions(m_paperSize).Length)
                                         : m_paperLength;
}

void TPrinterSettings::SetPaperLength(int length) {
  if (m_paperSize == TQRPaperSize::Custom && length > 0) m_paperLength = length;
}

}  // namespace vorelia::report
