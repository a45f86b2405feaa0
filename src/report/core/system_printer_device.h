#pragma once

#include <functional>
#include <memory>

#include "report/core/platform_printer.h"
#include "report/core/printer_settings.h"
#include "report/core/qr_printer_device.h"

namespace vorelia::report {

// A report printer's printer: its own platform printer object and the settings read from it.
class TSystemPrinterDevice : public TQRPrinterDevice {
 public:
  // Binds a report printer to printer: nothing when the platform lists no printer and printer
  // does not print into a file; otherwise the device with the printer of applicationIndex
  // selected (-1: the default, or the file), as the application's printer object has it, and
  // its settings read.
  static std::unique_ptr<TSystemPrinterDevice> Bind(std::unique_ptr<TPlatformPrinter> printer,
                                                    int applicationIndex,
                                                    std::function<void()> processEvents = {});

  TPrinterSettings& Settings() { return m_settings; }
  TPlatformPrinter& Printer() { return *m_printer; }

  int PrinterIndex() const override { return m_settings.PrinterIndex(); }
  void SetPrinterIndex(int index) override { m_settings.SetPrinterIndex(index); }
  TQRPaperSize PaperSize() const override { return m_settings.PaperSize(); }
  void SetPaperSize(TQRPaperSize size) override { m_settings.SetPaperSize(size); }
  int PaperWidth() const override { return m_settings.PaperWidth(); }
  void SetPaperWidth(int width) override { m_settings.SetPaperWidth(width); }
  int PaperLength() const override { return m_settings.PaperLength(); }
  void SetPaperLength(int length) override { m_settings.SetPaperLength(length); }
  TQROrientation Orientation() const override { return m_settings.Orientation(); }
  void SetOrientation(TQROrientation orientation) override {
    m_settings.SetOrientation(orientation);
  }
  int Copies() const override { return m_settings.Copies(); }
  void SetCopies(int copies) override { m_settings.SetCopies(copies); }
  TQRBin OutputBin() const override { return m_settings.OutputBin(); }
  void SetOutputBin(TQRBin bin) override { m_settings.SetOutputBin(bin); }
  int LeftOffset() const override { return m_settings.LeftOffset(); }
  int TopOffset() const override { return m_settings.TopOffset(); }
  int PixelsPerInchX() const override { return m_settings.PixelsPerInchX(); }
  int PixelsPerInchY() const override { return m_settings.PixelsPerInchY(); }

  void ApplySettings() override { m_settings.ApplySettings(); }
  bool JobRunning() const override { return m_printer->JobRunning(); }
  void BeginJob(const std::string& title) override { m_printer->BeginJob(title); }
  void NewSheet() override { m_printer->NewSheet(); }
  void EndJob() override { m_printer->EndJob(); }
  void AbortJob() override { m_printer->AbortJob(); }
  TPageCanvas& Canvas() override { return m_printer->Canvas(); }
  void PlayPage(const TPageRecording& page) override { m_printer->PlayPage(page); }

 private:
  explicit TSystemPrinterDevice(std::unique_ptr<TPlatformPrinter> printer);

  std::unique_ptr<TPlatformPrinter> m_printer;
  TPrinterSettings m_settings;
};

}  // namespace vorelia::report
