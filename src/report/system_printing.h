#pragma once

#include <memory>

#include "report/core/qr_printer_device.h"

namespace vorelia::report {

// A report printer's printer over the system's printers, following the application printer's
// choice; nothing when the system lists no printer.
std::unique_ptr<TQRPrinterDevice> CreateSystemPrinterDevice();

// Gives the reports the system's printers and the print dialog. Called once at start-up.
void InstallSystemPrinting();

}  // namespace vorelia::report
