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
  if (index < 0 && !ApplicationOutputFile().isEmpty()) return;
  const QString name = ListedPrinterName(index);
  if (name != printer.printerName()) printer.setPrinterName(name);
}

QString ApplicationOutputFile() {
  const QPrinter& printer = ApplicationPrinter();
  // Qt falls back to PDF when it finds no printer at all; only a named file is a choice.
  if (printer.outputFormat() != QPrinter::PdfFormat) return QString();
  return printer.outputFileName();
}

}  // namespace vorelia::report
