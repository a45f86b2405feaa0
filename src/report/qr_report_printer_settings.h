#pragma once

#include "report/core/qr_paper_size.h"

namespace vorelia::report {

// The printer choices a report hands to its printer when a run begins.
struct TQRReportPrinterSettings {
  int Copies = 1;
  bool Duplex = false;
  // 0: from the first page / to the last page.
  int FirstPage = 0;
  int LastPage = 0;
  TQRBin OutputBin = TQRBin::Auto;
  // -1: the system's default printer. Set by PrinterSetup, not stored with the layout.
  int PrinterIndex = -1;
};

}  // namespace vorelia::report
