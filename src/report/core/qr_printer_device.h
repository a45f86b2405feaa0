#pragma once

#include <string>

#include "report/core/print_job.h"
#include "report/core/qr_paper_size.h"

namespace vorelia::report {

// The platform printer a report printer prints with, together with its settings. The printing
// layer implements it over the system's printers; a report printer without one has no printer
// (HasPrinter false) and keeps its pages in the page store.
class TQRPrinterDevice : public TPrintJob {
 public:
  // Settings. Setters keep a value only where the printer accepts it.
  virtual int PrinterIndex() const = 0;
  virtual void SetPrinterIndex(int index) = 0;
  virtual TQRPaperSize PaperSize() const = 0;
  virtual void SetPaperSize(TQRPaperSize size) = 0;
  // Tenths of a millimetre.
  virtual int PaperWidth() const = 0;
  virtual void SetPaperWidth(int width) = 0;
  virtual int PaperLength() const = 0;
  virtual void SetPaperLength(int length) = 0;
  virtual TQROrientation Orientation() const = 0;
  virtual void SetOrientation(TQROrientation orientation) = 0;
  virtual int Copies() const = 0;
  virtual void SetCopies(int copies) = 0;
  virtual TQRBin OutputBin() const = 0;
  virtual void SetOutputBin(TQRBin bin) = 0;
  // Unprintable left and top margins, tenths of a millimetre.
  virtual int LeftOffset() const = 0;
  virtual int TopOffset() const = 0;
  virtual int PixelsPerInchX() const = 0;
  virtual int PixelsPerInchY() const = 0;

  // Before every job: the settings written into the platform's printer.
  virtual void ApplySettings() = 0;
};

}  // namespace vorelia::report
