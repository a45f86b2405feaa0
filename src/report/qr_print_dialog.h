#pragma once

#include <functional>

#include "report/qr_print_dialog_settings.h"

class QPrintDialog;
class QWidget;

namespace vorelia::report {

// What the print dialog offers besides the page range.
struct TQRPrintDialogOptions {
  bool poPrintToFile = false;
  bool poPageNums = false;
  bool poSelection = false;
  bool poWarning = false;
  bool poHelp = false;
  bool poDisablePrintToFile = false;
};

// The platform's print dialog working on the application's printer object. Execute shows it
// modal for the whole program; confirmed, the printer chosen and its settings become the
// application printer's and the choices are read back here; cancelled, nothing changes.
class TQRPrintDialog {
 public:
  bool Collate = false;
  int Copies = 0;
  int FromPage = 0;
  int MinPage = 0;
  int MaxPage = 0;
  TQRPrintDialogOptions Options;
  bool PrintToFile = false;
  TQRPrintRange PrintRange = TQRPrintRange::prAllPages;
  int ToPage = 0;
  bool Ctl3D = true;
  int HelpContext = 0;
  std::function<void()> OnClose;
  std::function<void()> OnShow;

  // owner: the window that owns the dialog; the application's active window when null.
  bool Execute(QWidget* owner = nullptr);
};

// The printer setup of a report: the dialog on the application printer with the report's
// printer selected, offering its page range, copies and orientation. Installed as the reports'
// print dialog runner.
bool RunPrinterSetupDialog(TQRPrintDialogSettings& settings);

}  // namespace vorelia::report
