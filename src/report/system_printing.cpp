#include "report/system_printing.h"

#include <QString>
#include <utility>

#include "report/application_printer.h"
#include "report/core/system_printer_device.h"
#include "report/qr_custom_report.h"
#include "report/qr_print_dialog.h"
#include "report/qt_platform_printer.h"

namespace vorelia::report {

std::unique_ptr<TQRPrinterDevice> CreateSystemPrinterDevice() {
  // No events are let run while the report builds its printer: a command could otherwise
  // start another run of the same report half-way through.
  auto printer = std::make_unique<TQtPlatformPrinter>();
  // "Print to file" in the print dialog leaves the application printer on no listed printer;
  // the report then writes that file rather than falling back to the default printer.
  const QString outputFile = ApplicationOutputFile();
  if (!outputFile.isEmpty()) printer->SetOutputFile(outputFile);
  return TSystemPrinterDevice::Bind(std::move(printer),
                                    outputFile.isEmpty() ? ApplicationPrinterIndex() : -1);
}

void InstallSystemPrinting() {
  TQRCustomReport::SetPrinterDeviceFactory(CreateSystemPrinterDevice);
  TQRCustomReport::SetPrintDialogRunner(RunPrinterSetupDialog);
}

}  // namespace vorelia::report
