#pragma once

class QPrinter;

namespace vorelia::report {

// The program's one printer object: the print dialog changes it, and every report printer
// selects the printer it has chosen. Created on first use, released with the application.
QPrinter& ApplicationPrinter();
// The chosen printer's position among the listed printers; -1 when it is none of them.
int ApplicationPrinterIndex();
// Chooses printer index (-1, or one not listed: the system's default).
void SelectApplicationPrinter(int index);

}  // namespace vorelia::report
