#pragma once

class QPrinter;
class QString;

namespace vorelia::report {

// The program's one printer object: the print dialog changes it, and every report printer
// selects the printer it has chosen. Created on first use, released with the application.
QPrinter& ApplicationPrinter();
// The chosen printer's position among the listed printers; -1 when it is none of them.
int ApplicationPrinterIndex();
// Chooses printer index (-1, or one not listed: the system's default). -1 keeps a file the
// application printer prints into, which stands in for the default.
void SelectApplicationPrinter(int index);
// The file the application printer writes its PDF into ("Print to file"); empty while it prints
// on a printer.
QString ApplicationOutputFile();

}  // namespace vorelia::report
