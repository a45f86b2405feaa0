#pragma once

#include <functional>

#include "report/core/qr_paper_size.h"

namespace vorelia::report {

enum class TQRPrintRange { prAllPages, prSelection, prPageNums };

// What the print dialog offers and what the user chose in it.
struct TQRPrintDialogSettings {
  // -1: the system's default printer.
  int PrinterIndex = -1;
  int MinPage = 0;
  int MaxPage = 9999;
  int FromPage = 0;
  int ToPage = 0;
  int Copies = 1;
  TQROrientation Orientation = TQROrientation::poPortrait;
  TQRPrintRange PrintRange = TQRPrintRange::prAllPages;
};

// Runs the print dialog on the settings; true when the user accepted it. The printing layer
// installs the real one.
using TQRPrintDialogRunner = std::function<bool(TQRPrintDialogSettings&)>;

}  // namespace vorelia::report
