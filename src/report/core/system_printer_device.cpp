#include "report/core/system_printer_device.h"

#include <utility>

namespace vorelia::report {

TSystemPrinterDevice::TSystemPrinterDevice(std::unique_ptr<TPlatformPrinter> printer)
    : m_printer(std::move(printer)) {}

std::unique_ptr<TSystemPrinterDevice> TSystemPrinterDevice::Bind(
    std::unique_ptr<TPlatformPrinter> printer, int applicationIndex,
    std::function<void()> processEvents) {
  if (!printer) return nullptr;
  const int count = static_cast<int>(printer->PrinterNames().size());
  if (count == 0 && !printer->PrintsToFile()) return nullptr;
  std::unique_ptr<TSystemPrinterDevice> device(new TSystemPrinterDevice(std::move(printer)));
  device->m_settings.Bind(device->m_printer.get(), std::move(processEvents));
  // The printer the application's printer object has selected, read after selecting it so the
  // settings describe the printer that will print.
  if (applicationIndex < -1 || applicationIndex >= count) applicationIndex = -1;
  device->m_printer->SelectPrinter(applicationIndex);
  device->m_settings.ReadFromPrinter();
  return device;
}

}  // namespace vorelia::report
