#pragma once

#include <QPainter>
#include <QPrinter>
#include <memory>

#include "report/core/platform_printer.h"

namespace vorelia::report {

class TPainterCanvas;

// The platform printer over Qt's printing (CUPS on Linux): one QPrinter, the printers Qt lists,
// its page layout as the device settings block. Sheets are drawn with the printable area's
// corner as the origin. Given an output file it prints a PDF document into that file until a
// listed printer is selected.
class TQtPlatformPrinter : public TPlatformPrinter {
 public:
  TQtPlatformPrinter();
  ~TQtPlatformPrinter() override;
  TQtPlatformPrinter(const TQtPlatformPrinter&) = delete;
  TQtPlatformPrinter& operator=(const TQtPlatformPrinter&) = delete;

  std::vector<std::string> PrinterNames() const override;
  bool PrintsToFile() const override { return !m_outputFile.isEmpty(); }
  int PrinterIndex() const override;
  void SelectPrinter(int index) override;

  TDeviceNames Names() const override;
  std::optional<TDeviceSettings> DeviceSettings() const override;
  void SetDeviceSettings(const TDeviceSettings& settings) override;
  TPrinterCapabilities Capabilities() const override;
  std::vector<int> PaperCodes() const override;
  int ResolutionX() const override;
  int ResolutionY() const override;
  TPhysicalPage PhysicalPage() const override;

  bool JobRunning() const override;
  void BeginJob(const std::string& title) override;
  void NewSheet() override;
  void EndJob() override;
  void AbortJob() override;
  TPageCanvas& Canvas() override;
  void PlayPage(const TPageRecording& page) override;

  QPrinter& Printer() { return m_printer; }
  // Prints into fileName as PDF from now on, as the default printer; empty: on the default
  // printer again.
  void SetOutputFile(const QString& fileName);

 private:
  void UseMinimumMargins();
  // The printer or file a job goes to, for messages.
  std::string Destination() const;

  QPrinter m_printer{QPrinter::HighResolution};
  QPainter m_painter;
  std::unique_ptr<TPainterCanvas> m_canvas;
  QString m_outputFile;
};

// Qt's page sizes and the platform's paper codes (0: none of ours).
int PaperCodeOf(QPageSize::PageSizeId id);
QPageSize PageSizeOfCode(const TDeviceSettings& settings);

// The printers Qt lists, and the position of one of them (-1 when it is not listed).
QStringList ListedPrinters();
int ListedPrinterIndex(const QString& name);
// The printer name of index among the listed printers; -1 or an index not listed: the default.
QString ListedPrinterName(int index);

}  // namespace vorelia::report
