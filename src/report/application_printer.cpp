#include "report/application_printer.h"

#include <QCoreApplication>
#include <QPrinter>

#include "report/qt_platform_printer.h"

namespace vorelia::report {

namespace {

QPrinter*& Instance() {
  static QPrinter* printer = nullptr;
  return printer;
}

void Release() {
  delete Instance();
  Instance() = nullptr;
}

}  // namespace

QPrinter& ApplicationPrinter() {
  if (!Instance()) {
    Instance() = new QPrinter(QPrinter::HighResolution);
    // It goes before the application object, whose platform plugins it uses.
    qAddPostRoutine(Release);
  }
  return *Instance();
}

int ApplicationPrinterIndex() { return ListedPrinterIndex(ApplicationPrinter().printerName()); }

void SelectApplicationPrinter(int index) {
  QPrinter& printer = ApplicationPrinter();
  const QString name = ListedPrinterName(index);
  if (name != printer.printerName()) printer.setPrinterName(name);
}

}  // namespace vorelia::report
