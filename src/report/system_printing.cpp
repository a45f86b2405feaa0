#include "report/system_printing.h"

#include "report/application_printer.h"
#include "report/core/system_printer_device.h"
#include "report/qr_custom_report.h"
#include "report/qr_print_dialog.h"
#include "report/qt_platform_printer.h"

namespace vorelia::report {

std::unique_ptr<TQRPrinterDevice> CreateSystemPrinterDevice() {
  // No events are let run while the report builds its printer: a command could otherwise
  // start another run of the same report half-way through.
  return TSystemPrinterDevice::Bind(std::make_unique<TQtPlatformPrinter>(),
                                    ApplicationPrinterIndex());
}

void InstallSystemPrinting() {
  TQRCustomReport::SetPrinterDeviceFactory(CreateSystemPrinterDevice);
  TQRCustomReport::SetPrintDialogRunner(RunPrinterSetupDialog);
}

}  // namespace vorelia::report
