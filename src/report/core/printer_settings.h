#pragma once

#include <array>
#include <functional>
#include <string>

#include "report/core/platform_printer.h"
#include "report/core/qr_paper_size.h"

namespace vorelia::report {

// Platform codes of paper sizes and bins; reading back gives the first member with a code.
int PaperCode(TQRPaperSize size);          // 0 for Default, which is never handed over
TQRPaperSize PaperSizeFromCode(int code);  // Default when no member has the code
int BinCode(TQRBin bin);
TQRBin BinFromCode(int code);  // First when no member has the code

// The printer choices of one report printer, read from its platform printer and written back
// into it before every print job. Setters keep a value only where the printer accepts it, so
// the printer's own value stays in force otherwise. Unbound settings hold their defaults.
class TPrinterSettings {
 public:
  // printer: the printer object these settings belong to; processEvents lets pending
  // user-interface events run (may be empty).
  void Bind(TPlatformPrinter* printer, std::function<void()> processEvents = {});
  bool Bound() const { return m_printer != nullptr; }

  void ReadFromPrinter();
  void ApplySettings();

  const std::string& Device() const { return m_names.Device; }
  const std::string& Driver() const { return m_names.Driver; }
  const std::string& Port() const { return m_names.Port; }

  int PrinterIndex() const;
  // Selects printer index (-1: the default) with its driver's defaults and reads it; an index
  // the printer object does not list is ignored.
  void SetPrinterIndex(int index);
  int Copies() const { return m_copies; }
  void SetCopies(int copies);
  bool Duplex() const { return m_duplex; }
  TQRBin OutputBin() const { return m_outputBin; }
  void SetOutputBin(TQRBin bin);
  TQROrientation Orientation() const { return m_orientation; }
  void SetOrientation(TQROrientation orientation);
  TQRPaperSize PaperSize() const { return m_paperSize; }
  void SetPaperSize(TQRPaperSize size);
  // Tenths of a millimetre: the table size, or the stored one for Default and Custom.
  int PaperWidth() const;
  void SetPaperWidth(int width);
  int PaperLength() const;
  void SetPaperLength(int length);
  int PixelsPerInchX() const { return m_ppiX; }
  int PixelsPerInchY() const { return m_ppiY; }
  // Unprintable margins, tenths of a millimetre.
  int LeftOffset() const { return m_leftOffset; }
  int TopOffset() const { return m_topOffset; }
  bool Supports(TQRPaperSize size) const;

 private:
  std::optional<TDeviceSettings> FetchDeviceSettings();
  void LetEventsRun() const;

  TPlatformPrinter* m_printer = nullptr;
  std::function<void()> m_processEvents;
  TPrinterCapabilities m_capabilities;

  TDeviceNames m_names;
  int m_copies = 1;
  bool m_duplex = false;
  TQRBin m_outputBin = TQRBin::First;
  TQROrientation m_orientation = TQROrientation::poPortrait;
  TQRPaperSize m_paperSize = TQRPaperSize::A4;
  int m_paperWidth = 2100;
  int m_paperLength = 2970;
  int m_ppiX = 0;
  int m_ppiY = 0;
  int m_leftOffset = 0;
  int m_topOffset = 0;
  std::array<bool, kPaperSizeCount> m_supported{};
};

}  // namespace vorelia::report
